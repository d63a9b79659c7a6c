#pragma once
// Previews of lines: feedback frames on the cells a painter would write,
// no cell written, nothing saved.
#include <cstdint>

#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

// The line PaintBrush would paint from (x0, y0) to (x1, y1); flag is passed
// on only.
void StepLine(PaintSurface& surface, PaintState& state, uint8_t flag, int32_t x0, int32_t x1, int32_t y0,
              int32_t y1);
// The staircase PaintSpan would paint; stores the staircase end point.
void PreviewSpan(PaintSurface& surface, PaintState& state, int32_t x0, int32_t x1, int32_t y0, int32_t y1);
