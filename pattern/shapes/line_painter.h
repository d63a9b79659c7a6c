#pragma once
// The painters that write cells of the current level: lines with the square
// brush, the fixed staircase, the mode painter and the slope snapping of a
// dragged line. Coordinates are picture cells from 1, rows counted upward.
#include <cstdint>

#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

// The line from (x0, y0) to (x1, y1) with the brush; x1, y1 come back as the
// end the line reached. Undo one record a cell; the write rule as asked.
void PaintBrush(PaintSurface& surface, PaintState& state, bool saveUndo, bool writeRule, int32_t x0,
                int32_t& x1, int32_t y0, int32_t& y1);
// The staircase of slope x columns by slope y rows towards (x1, y1), inside
// the visible area only; always saves undo. x1, y1 come back as the point
// reached.
void PaintSpan(PaintSurface& surface, PaintState& state, bool writeRule, int32_t x0, int32_t& x1, int32_t y0,
               int32_t& y1);
// A row run (one cell wide, no undo) or a brush line under write mode 1
// (the write rule), 3 (background painted over) or 4 (background and
// foreground exchanged).
void PaintMotifRows(PaintSurface& surface, PaintState& state, bool saveUndo, uint8_t mode, int32_t x0, int32_t x1,
                    int32_t y0, int32_t y1);
// The fill pattern's colour at the cell; the current colour when there is
// no pattern.
uint8_t PatternPixel(const PaintState& state, int32_t x, int32_t y);
// Rewrites (long, short) to the nearest allowed slope.
void SnapSlope(const PaintState& state, int32_t& a, int32_t& b);
// Snaps a line's end from the anchor as the line type asks.
void ApplySlopeSnap(const PaintState& state, int32_t& x, int32_t& y);
