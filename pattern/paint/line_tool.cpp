#include "pattern/paint/line_tool.h"

#include "pattern/paint/drag_rect.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/line_painter.h"
#include "pattern/shapes/line_preview.h"

uint8_t LineTool::AbandonedPhase(uint8_t phase) const
{
    if (phase != 1)
        return phase;
    return kind_ == Kind::Line ? 2 : 3;
}

void LineTool::Event(PaintCore& core, const CellInput& in)
{
    if (kind_ != Kind::Line && core.Phase() == 3) {
        if (in.B == 0)
            return;
        if (kind_ == Kind::Polygon && in.B == 3) {
            // Close the polygon: the last segment back to its first point.
            core.UndoPosInc();
            Segment(core, core.secondX, core.secondY);
            core.SetPhase(2);
            core.MarkChanged();
            return;
        }
        core.UndoPosInc();
        core.SetPhase(1);
        Move(core, in);
        return;
    }
    if (kind_ != Kind::Line && core.Phase() == 1 && in.B == 0) {
        EndDrag(core, in, 3);
        return;
    }
    PaintTool::Event(core, in);
}

void LineTool::Press(PaintCore& core, const CellInput& in)
{
    core.secondX = in.x;
    core.secondY = in.y;
}

void LineTool::Move(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    if (in.x == s.anchorX && in.y == s.anchorY)
        return;
    int32_t x = in.x, y = in.y;
    ApplySlopeSnap(s, x, y);
    core.View().ClearFeedback();
    StepLine(core, s, 1, s.anchorX, x, s.anchorY, y);
    core.View().ShowCellHint(core.DragSize(x, y));
}

void LineTool::Release(PaintCore& core, const CellInput& in)
{
    int32_t x = in.x, y = in.y;
    ApplySlopeSnap(core.State(), x, y);
    Segment(core, x, y);
}

void LineTool::Segment(PaintCore& core, int32_t x, int32_t y)
{
    PaintState& s = core.State();
    const int32_t ax = s.anchorX, ay = s.anchorY;
    int32_t ex = x, ey = y;
    PaintBrush(core, s, true, true, ax, ex, ay, ey);
    const DragRect box = DragRect::Span(ax, ay, ex, ey).Grown(s.settings.lineWidth);
    core.RedrawChanged(box.x1, box.y1, box.x2, box.y2);
    // The next segment starts where this one ended.
    s.anchorX = ex;
    s.anchorY = ey;
}
