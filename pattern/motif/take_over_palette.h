#pragma once
// A motif's colours taken over as the painting form's colour table, the
// special indices keeping colours of their own.
#include <array>
#include <cstdint>
#include <optional>

struct PaletteTakeOver {
    // The colour panels: entries 1..count are indices 0..count - 1.
    int32_t count = 0;
    uint8_t transparent = 255;
    std::optional<uint8_t> fill;
    std::optional<uint8_t> second;
};

// Colours are 0xffRRGGBB. Index 255 becomes white first, then the motif's
// first count colours come in, then the transparent index becomes
// (253, 253, 253), the fill index (254, 254, 254) and the second special
// index (50, 50, 50) where set.
void TakeOverPalette(const std::array<uint32_t, 256>& motif, std::array<uint32_t, 256>& table,
                     const PaletteTakeOver& how);
