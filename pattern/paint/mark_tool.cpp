#include "pattern/paint/mark_tool.h"

#include "pattern/paint/drag_rect.h"
#include "pattern/paint/motif_edit.h"
#include "pattern/paint/paint_core.h"

namespace {

void TakeRectangle(PaintCore& core, const CellInput& in)
{
    const PaintState& s = core.State();
    MotifBlock& m = core.Motif();
    const DragRect r = DragRect::Span(s.anchorX, s.anchorY, in.x, in.y).ClippedTo(s.width, s.height);
    if (r.Empty()) {
        m.Clear();
    } else {
        m.x1 = r.x1;
        m.x2 = r.x2;
        m.y1 = r.y1;
        m.y2 = r.y2;
        m.width = r.x2 - r.x1 + 1;
        m.height = r.y2 - r.y1 + 1;
    }
    m.originX = m.x1;
    m.originY = m.y1;
    m.stepX = m.stepY = 0;
    core.View().SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
    core.Hooks().P_SymbolCopyZuruecksetzen(false);
}

}  // namespace

void MarkTool::Event(PaintCore& core, const CellInput& in)
{
    PaintView& view = core.View();
    if (core.Phase() == 0) {
        if (in.B == 0)
            return;
        core.Motif().allLevels = in.B == 3 ? 1 : 0;
        BeginFrameDrag(core, in);
        core.SetButtonFlag(in.B == 2 ? 1 : 0);
        return;
    }
    if (core.Phase() != 1)
        return;
    if (in.B != 0) {
        ShowFrameDrag(core, in);
        return;
    }
    view.HideCellHint();
    view.ClearFeedback();
    core.SetPhase(0);
    // The colour region as motif (right button) comes with the motif tools.
    if (core.ButtonFlag() != 0)
        return;
    TakeRectangle(core, in);
    // Pasting gives way to moving what was just marked.
    if (core.PreviousTool() == 29)
        core.SetPreviousTool(26);
    core.ReturnToPreviousTool();
    view.P_KopierenButtonEnable(true);
    if (core.ToolNow() >= 25 && core.ToolNow() <= 28)
        CopyRegionToMotif(core);
}
