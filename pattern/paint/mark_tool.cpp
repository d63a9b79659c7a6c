#include "pattern/paint/mark_tool.h"

#include "pattern/paint/drag_rect.h"
#include "pattern/paint/motif_edit.h"
#include "pattern/paint/paint_core.h"
#include "pattern/shapes/flood_fill.h"

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

// The right button lifts the region of the cell's colour out of the
// current level as the motif, and the move tool takes it.
void TakeColourRegion(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    MotifBlock& m = core.Motif();
    uint8_t seed = 0;
    if (!core.CurrentCell(in.x, in.y, seed))
        return;
    s.T[s.transparentColour] = 1;
    core.UndoZuruecksetzen();
    s.anchorX = in.x;
    s.anchorY = in.y;
    int32_t lowest = 0;
    FloodFill(core, s, true, true, lowest);
    const FillMotif region = s.fillMotif;
    if (region.Empty())
        return;
    core.UndoPosInc();
    MotifImage motif = MotifImage::Blank(region.Width(), region.Height(), 1, s.transparentColour);
    motif.indices = region.cells;
    motif.colours = core.colours;
    m.allLevels = 0;
    m.x1 = region.x1;
    m.y1 = region.y1;
    m.x2 = region.x2;
    m.y2 = region.y2;
    m.width = region.Width();
    m.height = region.Height();
    m.originX = m.x1;
    m.originY = m.y1;
    m.stepX = m.stepY = 0;
    s.currentColour = core.Background();
    FloodFill(core, s, false, true, lowest);
    s.currentColour = core.Foreground();
    SaveWorkMotif(core, motif, true);
    core.RedrawChanged(m.x1, m.y1, m.x2, m.y2);
    core.SelectTool(26);
    core.SetPhase(2);
    core.View().P_KopierenButtonEnable(true);
    core.View().SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
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
    if (core.ButtonFlag() != 0) {
        TakeColourRegion(core, in);
        return;
    }
    TakeRectangle(core, in);
    // Pasting gives way to moving what was just marked.
    if (core.PreviousTool() == 29)
        core.SetPreviousTool(26);
    core.ReturnToPreviousTool();
    view.P_KopierenButtonEnable(true);
    if (core.ToolNow() >= 25 && core.ToolNow() <= 28)
        CopyRegionToMotif(core);
}
