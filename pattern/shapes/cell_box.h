#pragma once
// An inclusive rectangle of cells, and the parts of the picture the shape
// routines may touch.
#include <cstdint>

#include "pattern/shapes/paint_state.h"

struct CellBox {
    int64_t x1 = 1;
    int64_t y1 = 1;
    int64_t x2 = 0;
    int64_t y2 = 0;

    bool Empty() const { return x1 > x2 || y1 > y2; }
    bool Contains(int64_t x, int64_t y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
    // The box less the brush's growth to the right and upwards.
    CellBox Shrunk(int64_t by) const { return {x1, y1, x2 - by, y2 - by}; }
};

CellBox PictureCells(const PaintState& state);
// The visible area, cut to the picture: a pane scrolled past the last
// column must not lead a routine into the next row.
CellBox VisibleCells(const PaintState& state);
