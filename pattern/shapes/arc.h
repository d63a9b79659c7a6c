#pragma once
// The arc of the arc tool: a parabola over the chord from the anchor to the
// chord end, through the bulge cell.
#include <cstdint>

#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

void DrawArc(PaintSurface& surface, PaintState& state, bool preview, int32_t ax, int32_t ay, int32_t bx,
             int32_t by, int32_t cx, int32_t cy);
