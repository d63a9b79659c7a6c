#pragma once
// The painting unit's line settings, one copy for all painting forms: the
// tool option pop-ups write it, the shape routines read it through the
// PaintState they are handed.
#include <cstdint>

struct ShapeSettings {
    int32_t slopeX = 1;     // 1..4
    int32_t slopeY = 1;     // 1..4
    uint8_t lineWidth = 0;  // 0..3: the brush is (lineWidth + 1) cells square
    // Line type: exactly one byte is 1. Snap, staircase, free (the default).
    uint8_t snap = 0;
    uint8_t staircase = 0;
    uint8_t free = 1;
    uint16_t outlineMode = 5;    // 1..5
    uint16_t insertDeleteCode = 1;  // 1..4, plus 8 for the same within the motif

    // The staircase painters run whenever neither free nor snap is set.
    bool Staircase() const { return free == 0 && snap == 0; }
};

// The process-wide settings the option pop-ups write.
ShapeSettings& PaintUnitSettings();
