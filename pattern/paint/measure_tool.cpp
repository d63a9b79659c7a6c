#include "pattern/paint/measure_tool.h"

#include "pattern/paint/paint_core.h"

void MeasureTool::Event(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    PaintView& view = core.View();
    if (core.Phase() == 0) {
        if (in.B == 0)
            return;
        view.ClearFeedback();
        s.anchorX = in.x;
        s.anchorY = in.y;
        core.SetPhase(1);
        return;
    }
    if (in.B != 0) {
        view.FeedbackFrame(s.anchorX, s.anchorY, in.x, in.y);
        const std::string size = core.DragSize(in.x, in.y);
        view.ShowCellHint(size);
        core.StatusText(2, size);
        return;
    }
    view.HideCellHint();
    view.ClearFeedback();
    const MotifBlock& m = core.Motif();
    view.SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
    core.SetPhase(0);
}
