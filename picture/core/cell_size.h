#pragma once
// Cell height from the cell width (the zoom step) and the window's zoom
// factor, the ratio of cell height to width.
#include <cstdint>

// step x factor rounded to the nearest, halves to the even neighbour; at
// least 1 (also for a factor at or below 0, or not a number), at most 255.
uint8_t CellSizeFromZoom(uint8_t step, double factor);
