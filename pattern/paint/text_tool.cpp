#include "pattern/paint/text_tool.h"

#include "pattern/paint/motif_edit.h"
#include "pattern/paint/paint_core.h"

void TextTool::Event(PaintCore& core, const CellInput& in)
{
    MotifBlock& m = core.Motif();
    switch (core.Phase()) {
    case 0:
        if (in.B == 0) {
            core.UndoZuruecksetzen();
            core.SetPhase(2);
        }
        return;
    case 2:
        if (in.B == 0)
            return;
        core.SetPhase(1);
        // The text shown before stays where it was put.
        core.textStepShown = false;
        m.x1 = in.x;
        m.y1 = in.y;
        TextMotif(core, core.typedText, true);
        return;
    case 1:
        if (in.B == 0) {
            core.SetPhase(2);
            core.MarkChanged();
            return;
        }
        if (in.x == m.x1 && in.y == m.y1)
            return;
        m.x1 = in.x;
        m.y1 = in.y;
        TextMotif(core, core.typedText, true);
        return;
    default: return;
    }
}
