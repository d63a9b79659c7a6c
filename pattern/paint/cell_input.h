#pragma once
// One call of the tool machine: the current cell, the button state (0 none,
// 1 left, 2 right, 3 middle or Ctrl with left) and whether the zoom bar has
// a pick pending.
#include <cstdint>

struct CellInput {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t B = 0;
    bool zoomPending = false;
};

enum class MouseButton : uint8_t { Left, Right, Middle };
