#pragma once
// The 256 cell colours of a picture window: the colour table with its
// contrast bytes, the count of used colours, the packed colour 204 and the
// same colours as 0xffRRGGBB for Qt's indexed images.
#include <array>
#include <cstddef>
#include <cstdint>

// Bytes of a palette file that are read: 256 entries of red, green, blue and
// one ignored byte.
inline constexpr size_t kPaletteFileBytes = 1024;

// Palette indices with a fixed meaning in picture windows.
inline constexpr uint8_t kGridColour = 200;
inline constexpr uint8_t kAccentGridColour = 201;
inline constexpr uint8_t kWhiteLettering = 202;
inline constexpr uint8_t kBlackLettering = 203;
inline constexpr uint8_t kPackedColour = 204;
inline constexpr uint8_t kFeedbackColour = 205;
inline constexpr uint8_t kCrosshairColour = 206;
inline constexpr uint8_t kMarkedRangeColour = 207;

class PaletteTable {
public:
    // Our own default colours (see default_palette.h), fully worked out.
    PaletteTable();

    // Takes 256 entries of red, green, blue and a fourth byte (ignored);
    // works out contrast bytes, used colours, colour 204 and the Qt table.
    void SetEntries(const std::array<uint8_t, kPaletteFileBytes>& bytes);

    uint8_t Red(uint8_t i) const { return table_[4 * i]; }
    uint8_t Green(uint8_t i) const { return table_[4 * i + 1]; }
    uint8_t Blue(uint8_t i) const { return table_[4 * i + 2]; }
    // 202 (letter in white on this colour) or 203 (letter in black).
    uint8_t Contrast(uint8_t i) const { return table_[4 * i + 3]; }
    // The colour table as stored: red, green, blue, contrast per entry.
    const std::array<uint8_t, kPaletteFileBytes>& Entries() const { return table_; }

    // One less than the first entry at or above 2 that is black; 255 when none is.
    uint8_t UsedColours() const { return usedColours_; }
    // Colour 204 packed with red in the low byte.
    uint32_t Rgb204() const { return rgb204_; }
    // Entry i as 0xffRRGGBB (what an indexed QImage's colour table holds).
    const std::array<uint32_t, 256>& Argb() const { return argb_; }

private:
    std::array<uint8_t, kPaletteFileBytes> table_{};
    std::array<uint32_t, 256> argb_{};
    uint8_t usedColours_ = 255;
    uint32_t rgb204_ = 0;
};
