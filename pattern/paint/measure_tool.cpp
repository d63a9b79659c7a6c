#include "pattern/paint/measure_tool.h"

#include "pattern/paint/paint_core.h"

void MeasureTool::Event(PaintCore& core, const CellInput& in)
{
    PaintView& view = core.View();
    if (core.Phase() == 0) {
        if (in.B != 0)
            BeginFrameDrag(core, in);
        return;
    }
    if (in.B != 0) {
        ShowFrameDrag(core, in);
        return;
    }
    view.HideCellHint();
    view.ClearFeedback();
    const MotifBlock& m = core.Motif();
    view.SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
    core.SetPhase(0);
}
