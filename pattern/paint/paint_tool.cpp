#include "pattern/paint/paint_tool.h"

#include "pattern/paint/paint_core.h"

void PaintTool::BeginDrag(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    core.UndoPosInc();
    core.Hooks().P_SymbolBereichInit();
    s.anchorX = in.x;
    s.anchorY = in.y;
    core.SetPhase(1);
    if (in.B == 1)
        s.currentColour = core.Foreground();
    else if (in.B == 2)
        s.currentColour = core.Background();
    if (KeepsButton())
        core.SetButtonFlag(in.B == 2 ? 1 : 0);
}

void PaintTool::BeginFrameDrag(PaintCore& core, const CellInput& in)
{
    core.View().ClearFeedback();
    core.State().anchorX = in.x;
    core.State().anchorY = in.y;
    core.SetPhase(1);
}

void PaintTool::ShowFrameDrag(PaintCore& core, const CellInput& in)
{
    const PaintState& s = core.State();
    core.View().FeedbackFrame(s.anchorX, s.anchorY, in.x, in.y);
    const std::string size = core.DragSize(in.x, in.y);
    core.View().ShowCellHint(size);
    core.StatusText(2, size);
}

void PaintTool::EndDrag(PaintCore& core, const CellInput& in, uint8_t nextPhase)
{
    core.View().HideCellHint();
    core.View().ClearFeedback();
    {
        PaintCore::BusyScope busy(core.View());
        Release(core, in);
    }
    core.SetPhase(nextPhase);
    core.MarkChanged();
}

void PaintTool::Event(PaintCore& core, const CellInput& in)
{
    switch (core.Phase()) {
    case 0:
        if (in.B == 0) {
            core.UndoZuruecksetzen();
            core.SetPhase(2);
        }
        return;
    case 1:
        if (in.B != 0)
            Move(core, in);
        else
            EndDrag(core, in, 2);
        return;
    case 2:
        if (in.B != 0) {
            BeginDrag(core, in);
            Press(core, in);
        } else {
            Idle(core, in);
        }
        return;
    default:
        Idle(core, in);
        return;
    }
}
