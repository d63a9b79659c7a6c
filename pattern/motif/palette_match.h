#pragma once
// A picture without a palette of its own (a 24-bit file) brought into the
// program's colours: each pixel takes the nearest colour of the table.
#include <array>
#include <cstdint>

#include "picture/core/bmp8_file.h"

// The index among 0..count - 1 whose colour lies nearest to rgb (0xRRGGBB),
// by the squared distance in red, green and blue; of equally near colours
// the lowest index.
uint8_t NearestPaletteColour(const std::array<uint32_t, 256>& table, int32_t count, uint32_t rgb);
// Every pixel of the picture to its nearest table colour among the first
// count; the picture then carries the table as its colours.
void MatchToPalette(Bmp8& picture, const std::array<uint32_t, 256>& table, int32_t count);
