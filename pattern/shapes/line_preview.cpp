#include "pattern/shapes/line_preview.h"

#include <algorithm>

#include "pattern/shapes/cell_box.h"
#include "pattern/shapes/line_walk.h"
#include "pattern/shapes/staircase_steps.h"

namespace {

// Frames on the brush's cells that lie in the picture.
void FrameBrush(PaintSurface& surface, const PaintState& state, int64_t x, int64_t y)
{
    const CellBox picture = PictureCells(state);
    const int64_t lw = state.settings.lineWidth;
    for (int64_t r = 0; r <= lw; ++r)
        for (int64_t c = 0; c <= lw; ++c)
            if (picture.Contains(x + c, y + r))
                surface.PreviewCell(static_cast<int32_t>(x + c), static_cast<int32_t>(y + r));
}

}  // namespace

void StepLine(PaintSurface& surface, PaintState& state, uint8_t, int32_t x0, int32_t x1, int32_t y0, int32_t y1)
{
    const ShapeSettings& s = state.settings;
    if (s.Staircase() && state.tool != 16 && state.tool != 9) {
        PreviewSpan(surface, state, x0, x1, y0, y1);
        return;
    }
    if (x0 < 1 || x1 < 1 || y0 < 1 || y1 < 1)
        return;
    const LineWalk line = BrushLine(state, x0, x1, y0, y1);
    state.lineExtentX = static_cast<int32_t>(std::min<int64_t>(line.ExtentX(), INT32_MAX));
    state.lineExtentY = static_cast<int32_t>(std::min<int64_t>(line.ExtentY(), INT32_MAX));
    const CellBox visible = VisibleCells(state);
    auto stamp = [&](int64_t x, int64_t y, StampKind) {
        if (visible.Contains(x, y))
            FrameBrush(surface, state, x, y);
        return true;
    };
    LinePoint last;
    line.Walk(visible, [](int64_t) { return true; }, stamp, last);
}

void PreviewSpan(PaintSurface& surface, PaintState& state, int32_t x0, int32_t x1, int32_t y0, int32_t y1)
{
    StaircaseSteps steps(x0, x1, y0, y1, state.settings.slopeX, state.settings.slopeY);
    if (!steps.Valid())
        return;
    const CellBox visible = VisibleCells(state);
    for (;;) {
        if (visible.Contains(steps.X(), steps.Y()))
            FrameBrush(surface, state, steps.X(), steps.Y());
        if (steps.Done())
            break;
        steps.Advance();
    }
    state.staircaseEndX = static_cast<int32_t>(x0 + steps.I());
    state.staircaseEndY = static_cast<int32_t>(y0 + steps.J());
}
