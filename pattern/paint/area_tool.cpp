#include "pattern/paint/area_tool.h"

#include "pattern/paint/area_tools.h"
#include "pattern/paint/drag_rect.h"
#include "pattern/paint/paint_core.h"

void AreaTool::Move(PaintCore& core, const CellInput& in)
{
    const PaintState& s = core.State();
    core.View().FeedbackFrame(s.anchorX, s.anchorY, in.x, in.y);
}

void AreaTool::Release(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    const DragRect r = DragRect::Span(s.anchorX, s.anchorY, in.x, in.y);
    switch (kind_) {
    case Kind::MotifSwap:
        s.currentColour = core.Foreground();
        Motiversetzen(core, r.x1, r.y1, r.x2, r.y2);
        core.RedrawChanged(r.x1, r.y1, r.x2, r.y2);
        return;
    case Kind::Outline:
        OutlineProtected(core, s.currentLevel, s.settings.outlineMode, r.x1, r.y1, r.x2, r.y2);
        core.RedrawChanged(r.x1 - 1, r.y1 - 1, r.x2 + 1, r.y2 + 1);
        return;
    case Kind::InsertDelete:
        // The motif comes to mark the band; undo gives the old one back.
        core.StateInUndoSchreiben();
        core.Hooks().P_INSDELRegisteraktivieren(true);
        for (size_t l = 1; l <= core.LevelStatesNow().size(); ++l)
            if (core.Included(static_cast<int>(l)))
                ZeilenSpaltenInsDel(core, core.ButtonFlag() != 0, static_cast<uint16_t>(l), r.y1, r.y2, r.x1, r.x2,
                                    s.settings.insertDeleteCode);
        core.Hooks().P_INSDELRegisteraktivieren(false);
        core.RedrawCells(1, 1, s.width, s.height);
        return;
    }
}
