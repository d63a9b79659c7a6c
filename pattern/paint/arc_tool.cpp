#include "pattern/paint/arc_tool.h"

#include "pattern/paint/paint_core.h"
#include "pattern/shapes/arc.h"
#include "pattern/shapes/line_preview.h"

void ArcTool::Event(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    PaintView& view = core.View();
    switch (core.Phase()) {
    case 1:
        view.ClearFeedback();
        StepLine(core, s, 1, s.anchorX, in.x, s.anchorY, in.y);
        if (in.B == 0) {
            // The chord stays shown while the bulge is dragged.
            core.secondX = in.x;
            core.secondY = in.y;
            core.SetPhase(in.x == s.anchorX ? 0 : 3);
        }
        return;
    case 3:
        if (in.B != 0) {
            core.Hooks().P_SymbolBereichInit();
            core.SetPhase(4);
        }
        return;
    case 4:
        view.ClearFeedback();
        if (in.B != 0) {
            DrawArc(core, s, true, s.anchorX, s.anchorY, core.secondX, core.secondY, in.x, in.y);
            return;
        }
        {
            PaintCore::BusyScope busy(view);
            DrawArc(core, s, false, s.anchorX, s.anchorY, core.secondX, core.secondY, in.x, in.y);
        }
        core.SetPhase(2);
        core.MarkChanged();
        return;
    default:
        PaintTool::Event(core, in);
        return;
    }
}
