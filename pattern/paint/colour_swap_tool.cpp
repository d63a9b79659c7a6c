#include "pattern/paint/colour_swap_tool.h"

#include "pattern/paint/drag_rect.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/line_painter.h"

// Both buttons paint with the foreground colour: with the background as
// the paint colour the exchange would swap the background with itself.
void ColourSwapTool::Press(PaintCore& core, const CellInput&)
{
    core.State().currentColour = core.Foreground();
}

void ColourSwapTool::Move(PaintCore& core, const CellInput& in)
{
    const PaintState& s = core.State();
    core.View().FeedbackFrame(s.anchorX, s.anchorY, in.x, in.y);
}

void ColourSwapTool::Release(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    const DragRect r = DragRect::Span(s.anchorX, s.anchorY, in.x, in.y).ClippedTo(s.width, s.height);
    if (r.Empty())
        return;
    const uint8_t mode = core.ButtonFlag() ? 4 : 3;
    for (int32_t y = r.y1; y <= r.y2; ++y) {
        const std::span<uint8_t> row = core.Row(s.currentLevel, y);
        if (row.size() < static_cast<size_t>(r.x2))
            continue;
        core.InUndoSchreiben(static_cast<uint8_t>(s.currentLevel), y, r.x1 - 1,
                             row.subspan(static_cast<size_t>(r.x1 - 1), static_cast<size_t>(r.x2 - r.x1 + 1)));
        PaintMotifRows(core, s, false, mode, r.x1, r.x2, y, y);
    }
    core.RedrawChanged(r.x1, r.y1, r.x2, r.y2);
}
