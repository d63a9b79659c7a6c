#include "pattern/paint/write_rule.h"

#include <algorithm>
#include <cstring>

namespace {

// 0xff where a flag byte is 1, 0 where it is 0.
inline uint8_t Mask(uint8_t flag) { return static_cast<uint8_t>(0u - flag); }

inline uint8_t Keep(uint8_t old, uint8_t colour, uint8_t keep) {
    return static_cast<uint8_t>((old & keep) | (colour & static_cast<uint8_t>(~keep)));
}

}  // namespace

bool AnyFlag(const ColourFlags& flags) {
    uint64_t any = 0;
    for (size_t i = 0; i < flags.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, flags.data() + i, 8);
        any |= word;
    }
    return any != 0;
}

void FilterPaintColour(const ColourFlags& T, const ColourFlags& P, uint8_t colour, uint8_t& cell) {
    if (T[colour] == 0 && P[cell] == 0)
        cell = colour;
}

void FilterPaintRun(const ColourFlags& T, const ColourFlags& P, uint8_t colour, std::span<uint8_t> cells) {
    if (T[colour] != 0 || cells.empty())
        return;
    if (!AnyFlag(P)) {
        std::memset(cells.data(), colour, cells.size());
        return;
    }
    uint8_t* c = cells.data();
    const size_t n = cells.size();
    for (size_t i = 0; i < n; ++i)
        c[i] = Keep(c[i], colour, Mask(P[c[i]]));
}

void FilterPaintRow(const ColourFlags& T, const ColourFlags& P, std::span<const uint8_t> colours,
                    std::span<uint8_t> cells) {
    const size_t n = std::min(colours.size(), cells.size());
    const uint8_t* s = colours.data();
    uint8_t* c = cells.data();
    for (size_t i = 0; i < n; ++i)
        c[i] = Keep(c[i], s[i], Mask(static_cast<uint8_t>(T[s[i]] | P[c[i]])));
}
