#pragma once
// The ellipse in a rectangle and the circles around a centre cell.
#include <cstdint>

#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

// The ellipse inscribed in the rectangle of the two corner cells.
void DrawEllipse(PaintSurface& surface, PaintState& state, bool filled, bool preview, int32_t x1, int32_t y1,
                 int32_t x2, int32_t y2);
// The circle around (cx, cy) through the drag distance to (x, y).
void DrawCirclePreview(PaintSurface& surface, PaintState& state, int32_t cx, int32_t cy, int32_t x, int32_t y);
void DrawCircleFrame(PaintSurface& surface, PaintState& state, int32_t cx, int32_t cy, int32_t x, int32_t y);
void DrawCircleFilled(PaintSurface& surface, PaintState& state, int32_t cx, int32_t cy, int32_t x, int32_t y);
