#pragma once
// The colours a picture window starts with when no palette file is read, and
// the bytes the build writes as the program's "Kelt.Pal": readable colours at
// 0 to 41 (one per symbol character), the simulation's yarn carriers at 32 to
// 95 (eight rails of eight), tints for the blended levels at 128 to 143, grid
// greys at 200 and 201, lettering white and black at 202 and 203, three
// bright colours for tool frames, crosshair and marked range at 205 to 207,
// and the simulation's stitch density ramp at 210 to 235, where 214 is the
// simulation's light grey grid. The other entries are black.
#include <array>
#include <cstdint>

#include "picture/core/palette_table.h"

// In the palette file's layout: red, green, blue and a zero byte per entry.
const std::array<uint8_t, kPaletteFileBytes>& DefaultPaletteBytes();
