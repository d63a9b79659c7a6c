#include "pattern/paint/rectangle_tool.h"

#include "pattern/paint/drag_rect.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/line_painter.h"

void RectangleTool::Move(PaintCore& core, const CellInput& in)
{
    const PaintState& s = core.State();
    core.View().FeedbackFrame(s.anchorX, s.anchorY, in.x, in.y);
    core.View().ShowCellHint(core.DragSize(in.x, in.y));
}

void RectangleTool::Release(PaintCore& core, const CellInput& in)
{
    if (filled_)
        Fill(core, in);
    else
        Frame(core, in);
}

void RectangleTool::Frame(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    const DragRect r = DragRect::Span(s.anchorX, s.anchorY, in.x, in.y);
    auto line = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        PaintBrush(core, s, true, true, x0, x1, y0, y1);
    };
    line(r.x1, r.y2, r.x2, r.y2);
    line(r.x1, r.y1, r.x2, r.y1);
    line(r.x1, r.y1, r.x1, r.y2);
    line(r.x2, r.y1, r.x2, r.y2);
    const DragRect box = r.Grown(s.settings.lineWidth);
    core.RedrawChanged(box.x1, box.y1, box.x2, box.y2);
}

// Without a line width each row is saved as one run and painted without
// the brush's saving of its own: one record a row instead of one a cell.
void RectangleTool::Fill(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    const DragRect r = DragRect::Span(s.anchorX, s.anchorY, in.x, in.y).ClippedTo(s.width, s.height);
    if (r.Empty())
        return;
    const bool ownSaving = s.settings.lineWidth != 0;
    for (int32_t y = r.y1; y <= r.y2; ++y) {
        if (!ownSaving) {
            const std::span<uint8_t> row = core.Row(s.currentLevel, y);
            if (row.size() < static_cast<size_t>(r.x2))
                continue;
            core.InUndoSchreiben(static_cast<uint8_t>(s.currentLevel), y, r.x1 - 1,
                                 row.subspan(static_cast<size_t>(r.x1 - 1), static_cast<size_t>(r.x2 - r.x1 + 1)));
        }
        int32_t x2 = r.x2, y2 = y;
        PaintBrush(core, s, ownSaving, true, r.x1, x2, y, y2);
    }
    const DragRect box = r.Grown(s.settings.lineWidth);
    core.RedrawChanged(box.x1, box.y1, box.x2, box.y2);
}
