#include "pattern/paint/brush_tool.h"

#include "pattern/paint/drag_rect.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/line_painter.h"

void BrushTool::Move(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    if (in.x == s.anchorX && in.y == s.anchorY)
        return;
    int32_t x = in.x, y = in.y;
    PaintBrush(core, s, true, true, s.anchorX, x, s.anchorY, y);
    const DragRect box = DragRect::Span(s.anchorX, s.anchorY, in.x, in.y).Grown(s.settings.lineWidth);
    core.RedrawChanged(box.x1, box.y1, box.x2, box.y2);
    s.anchorX = in.x;
    s.anchorY = in.y;
}

void BrushTool::Release(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    int32_t x = in.x, y = in.y;
    PaintBrush(core, s, true, true, in.x, x, in.y, y);
    const DragRect box = DragRect::Span(in.x, in.y, in.x, in.y).Grown(s.settings.lineWidth);
    core.RedrawChanged(box.x1, box.y1, box.x2, box.y2);
}
