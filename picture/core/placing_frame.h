#pragma once
// The frame that shows, while a zoom step is being placed, the cells the
// step would show around the cell under the pointer.
#include <cstdint>

struct PlacingFrame {
    int32_t x1 = 1;
    int32_t y1 = 1;
    int32_t x2 = 0;
    int32_t y2 = 0;

    // targetColumns x targetRows cells around (x, y), kept within the
    // visible columns and rows, and never left of column 1 or below row 1.
    static PlacingFrame Around(int32_t x, int32_t y, int32_t targetColumns, int32_t targetRows, int32_t firstColumn,
                               int32_t visibleColumns, int32_t firstRow, int32_t visibleRows);
};
