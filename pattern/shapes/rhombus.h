#pragma once
// The rhombus dragged right and up from its bottom point.
#include <cstdint>

#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

// Paints it: left x and bottom y are the anchor, right x and top y the
// current cell.
void DrawRhombus(PaintSurface& surface, PaintState& state, bool writeRule, int32_t left, int32_t right,
                 int32_t bottom, int32_t top);
// Previews the same rhombus.
void DrawPolygon(PaintSurface& surface, PaintState& state, uint8_t flag, int32_t left, int32_t right,
                 int32_t bottom, int32_t top);
