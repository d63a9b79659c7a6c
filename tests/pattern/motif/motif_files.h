#pragma once
// Motif files the motif tests build by hand: the palette P.pal (entry i =
// (i, 3i mod 256, 255 - i)), 8-bit BMPs and PCX files.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/core/bmp8_file.h"

namespace motif_files {

// 0xffRRGGBB of P.pal.
std::array<uint32_t, 256> PPal();
// The 768 bytes R, G, B of P.pal.
std::string PPalBytes();
// A picture in P.pal from its lines, the top line first.
Bmp8 Picture(const std::vector<std::vector<uint8_t>>& lines);
// Its lines back, the top line first.
std::vector<std::vector<uint8_t>> Lines(const Bmp8& picture);
// A PCX header: bits per pixel, planes, bytes per line, xmin/ymin 0 and
// xmax/ymax from the size, the resolution fields holding the size.
std::string PcxHeaderBytes(int bits, int planes, int bytesPerLine, int width, int height);
// Check 2's file: 10 x 2 pixels, 8 bits, its runs and P.pal.
std::string TenByTwoPcx();
// The python3 that reads pictures with PIL, or empty when none does.
std::string PilPython();

}  // namespace motif_files
