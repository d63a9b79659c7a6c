#pragma once
// The motif rectangle and what the placing tools keep with it. An undo
// record of the motif kind saves these twelve words whole, so the layout is
// fixed.
#include <cstdint>
#include <type_traits>

struct MotifBlock {
    // The rectangle in the picture, inclusive.
    int32_t x1 = 0;
    int32_t x2 = 0;
    int32_t y1 = 0;
    int32_t y2 = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Column and row of the grabbed cell within the motif.
    int16_t grabX = 0;
    int16_t grabY = 0;
    // The last placement's step and origin.
    int32_t stepX = 0;
    int32_t stepY = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    // 1 when the motif was taken over every included level.
    int32_t allLevels = 0;

    bool Empty() const { return width == 0 || height == 0; }
    void Clear() { x1 = x2 = y1 = y2 = width = height = 0; }
};

static_assert(std::is_standard_layout_v<MotifBlock>);
static_assert(std::is_trivially_copyable_v<MotifBlock>);
static_assert(sizeof(MotifBlock) == 48);
