#include "picture/core/placing_frame.h"

#include <algorithm>

PlacingFrame PlacingFrame::Around(int32_t x, int32_t y, int32_t targetColumns, int32_t targetRows,
                                  int32_t firstColumn, int32_t visibleColumns, int32_t firstRow, int32_t visibleRows)
{
    PlacingFrame f;
    f.x1 = std::max(1, std::min(x - targetColumns / 2, firstColumn + visibleColumns - targetColumns - 1));
    f.y1 = std::max(1, std::min(y - targetRows / 2, firstRow + visibleRows - targetRows - 1));
    f.x2 = f.x1 + targetColumns - 1;
    f.y2 = f.y1 + targetRows - 1;
    return f;
}
