#pragma once
// The 128-byte header of a PCX file, little-endian.
#include <array>
#include <cstddef>
#include <cstdint>

struct PcxHeader {
    static constexpr size_t kSize = 128;
    static constexpr size_t kBitsPerPixel = 3;
    static constexpr size_t kXMin = 4;
    static constexpr size_t kYMin = 6;
    static constexpr size_t kXMax = 8;
    static constexpr size_t kYMax = 10;
    static constexpr size_t kXResolution = 12;
    static constexpr size_t kYResolution = 14;
    static constexpr size_t kSixteenColours = 16;
    static constexpr size_t kPlanes = 65;
    static constexpr size_t kBytesPerLine = 66;
    // The byte between the pixels and the 768 bytes of an 8-bit picture's palette.
    static constexpr uint8_t kPaletteMarker = 0x0C;
    static constexpr size_t kPaletteBytes = 768;

    std::array<uint8_t, kSize> bytes{};

    // width - 1 and height - 1 may be any 16-bit values: the reader checks them.
    int32_t Width() const;
    int32_t Height() const;
    // Version 5, run-length encoded, 8 bits in one plane, width bytes a line,
    // the resolution fields holding the size.
    static PcxHeader ForEightBits(int32_t width, int32_t height);
};
