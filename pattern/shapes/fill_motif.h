#pragma once
// What a searching flood fill lifts out of the picture: the region's box on
// the current level, the transparent colour wherever the region is not.
#include <cstdint>
#include <vector>

struct FillMotif {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    // (x2 - x1 + 1) x (y2 - y1 + 1) bytes, top row (y2) first, like FillPattern.
    std::vector<uint8_t> cells;

    int32_t Width() const { return x2 - x1 + 1; }
    int32_t Height() const { return y2 - y1 + 1; }
    bool Empty() const { return cells.empty(); }
};
