#pragma once
// The rectangle a drag spans from the anchor to the current cell, and the
// same cut to the picture: a cell may lie past the picture's last column.
#include <algorithm>
#include <cstdint>

struct DragRect {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;

    static DragRect Span(int32_t ax, int32_t ay, int32_t x, int32_t y)
    {
        return {std::min(ax, x), std::min(ay, y), std::max(ax, x), std::max(ay, y)};
    }
    DragRect ClippedTo(int32_t width, int32_t height) const
    {
        return {std::max(x1, 1), std::max(y1, 1), std::min(x2, width), std::min(y2, height)};
    }
    bool Empty() const { return x2 < x1 || y2 < y1; }
    DragRect Grown(int32_t by) const { return {x1, y1, x2 + by, y2 + by}; }
};
