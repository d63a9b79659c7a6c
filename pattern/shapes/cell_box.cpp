#include "pattern/shapes/cell_box.h"

#include <algorithm>

CellBox PictureCells(const PaintState& state)
{
    return {1, 1, state.width, state.height};
}

CellBox VisibleCells(const PaintState& state)
{
    const VisibleArea& v = state.visible;
    CellBox box{std::max<int64_t>(v.firstColumn, 1), std::max<int64_t>(v.firstRow, 1),
                std::min<int64_t>(int64_t{v.firstColumn} + v.columns - 1, state.width),
                std::min<int64_t>(int64_t{v.firstRow} + v.rows - 1, state.height)};
    return box;
}
