// Placeholders until the routines land.
#include "pattern/shapes/shapes.h"

void PaintBrush(PaintSurface&, PaintState&, bool, bool, int32_t, int32_t&, int32_t, int32_t&) {}
void PaintSpan(PaintSurface&, PaintState&, bool, int32_t, int32_t&, int32_t, int32_t&) {}
void PaintMotifRows(PaintSurface&, PaintState&, bool, uint8_t, int32_t, int32_t, int32_t, int32_t) {}
uint8_t PatternPixel(const PaintState& state, int32_t, int32_t) { return state.currentColour; }
void SnapSlope(const PaintState&, int32_t&, int32_t&) {}
void ApplySlopeSnap(const PaintState&, int32_t&, int32_t&) {}
void StepLine(PaintSurface&, PaintState&, uint8_t, int32_t, int32_t, int32_t, int32_t) {}
void PreviewSpan(PaintSurface&, PaintState&, int32_t, int32_t, int32_t, int32_t) {}
void DrawEllipse(PaintSurface&, PaintState&, bool, bool, int32_t, int32_t, int32_t, int32_t) {}
void DrawCirclePreview(PaintSurface&, PaintState&, int32_t, int32_t, int32_t, int32_t) {}
void DrawCircleFrame(PaintSurface&, PaintState&, int32_t, int32_t, int32_t, int32_t) {}
void DrawCircleFilled(PaintSurface&, PaintState&, int32_t, int32_t, int32_t, int32_t) {}
void DrawRhombus(PaintSurface&, PaintState&, bool, int32_t, int32_t, int32_t, int32_t) {}
void DrawPolygon(PaintSurface&, PaintState&, uint8_t, int32_t, int32_t, int32_t, int32_t) {}
void DrawArc(PaintSurface&, PaintState&, bool, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
bool FloodFill(PaintSurface&, PaintState&, bool, bool, int32_t& lowestRow)
{
    lowestRow = 0;
    return true;
}
