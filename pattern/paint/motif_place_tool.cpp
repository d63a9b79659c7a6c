#include "pattern/paint/motif_place_tool.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "pattern/paint/motif_edit.h"
#include "pattern/paint/paint_core.h"

namespace {

// Where a release at v snaps to on the grid of size n from origin, the
// grabbed cell kept.
int32_t Snap(int32_t v, int32_t origin, int32_t n, int32_t grab)
{
    const int32_t d = v - origin;
    const int32_t k = d >= 0 ? d / n : -((-d + n - 1) / n);
    return origin + k * n + grab;
}

}  // namespace

void MotifPlaceTool::Event(PaintCore& core, const CellInput& in)
{
    if (core.Phase() == 0)
        Start(core);
    switch (core.Phase()) {
    case 1:
        if (in.B != 0)
            Follow(core, in);
        else
            SetDown(core, in);
        return;
    case 2:
    case 4:
        if (in.B == 0) {
            Follow(core, in);
            return;
        }
        {
            MotifBlock& m = core.Motif();
            const bool inside = in.x >= m.x1 && in.x <= m.x2 && in.y >= m.y1 && in.y <= m.y2;
            m.grabX = static_cast<int16_t>(inside ? in.x - m.x1 : 0);
            m.grabY = static_cast<int16_t>(inside ? in.y - m.y1 : 0);
            core.SetButtonFlag(in.B == 2 ? 1 : 0);
            core.SetPhase(1);
            Follow(core, in);
        }
        return;
    default: return;
    }
}

void MotifPlaceTool::Start(PaintCore& core)
{
    MotifBlock& m = core.Motif();
    const uint8_t tool = core.ToolNow();
    if (tool == 29) {
        MotifImage motif;
        if (m.allLevels == 0 && LoadWorkMotif(core, false, motif)) {
            m.x1 = m.y1 = 1;
            m.width = motif.width;
            m.height = motif.Rows();
            m.x2 = m.width;
            m.y2 = m.height;
        }
        core.UndoZuruecksetzen();
    } else if (tool == 26 && !m.Empty()) {
        CopyRegionToMotif(core);
        core.UndoZuruecksetzen();
        CutMotif(core);
        core.RedrawChanged(m.x1, m.y1, m.x2, m.y2);
    } else if (!m.Empty()) {
        CopyRegionToMotif(core);
    }
    const VisibleArea& v = core.State().visible;
    if (m.x1 < v.firstColumn || m.x1 >= v.firstColumn + v.columns) {
        m.x1 = v.firstColumn;
        m.x2 = m.x1 + m.width - 1;
    }
    if (m.y1 < v.firstRow || m.y1 >= v.firstRow + v.rows) {
        m.y1 = v.firstRow;
        m.y2 = m.y1 + m.height - 1;
    }
    core.SetPhase(2);
    if (!m.Empty())
        core.View().FeedbackFrame(m.x1, m.y1, m.x2, m.y2);
}

void MotifPlaceTool::Follow(PaintCore& core, const CellInput& in)
{
    const MotifBlock& m = core.Motif();
    if (m.Empty())
        return;
    const int32_t x1 = std::max(in.x - m.grabX, 1);
    const int32_t y1 = std::max(in.y - m.grabY, 1);
    core.View().FeedbackFrame(x1, y1, x1 + m.width - 1, y1 + m.height - 1);
}

bool MotifPlaceTool::PlaceAt(PaintCore& core, const MotifImage& motif, int32_t x1, int32_t y1, bool whole)
{
    const PaintState& s = core.State();
    const int32_t x2 = x1 + motif.width - 1;
    const int32_t y2 = y1 + motif.Rows() - 1;
    if (whole && (x1 < 1 || y1 < 1 || x2 > s.width || y2 > s.height))
        return false;
    const int32_t cx1 = std::max(x1, 1), cy1 = std::max(y1, 1);
    const int32_t cx2 = std::min(x2, s.width), cy2 = std::min(y2, s.height);
    if (cx2 < cx1 || cy2 < cy1)
        return false;
    core.EbenenInUndoSchreiben(cy1, cx1, cy2 - cy1 + 1, cx2 - cx1 + 1);
    core.Hooks().P_SymbolRandfarbeTransparent(x1, true);
    WriteMotifIntoLevels(core, motif, x1, y1);
    core.Hooks().P_SymbolRandfarbeTransparent(x1, false);
    return true;
}

void MotifPlaceTool::SetDown(PaintCore& core, const CellInput& in)
{
    core.View().ClearFeedback();
    MotifBlock& m = core.Motif();
    const uint8_t tool = core.ToolNow();
    core.SetPhase(2);
    MotifImage motif;
    if (m.Empty() || !LoadWorkMotif(core, false, motif) || motif.width == 0)
        return;
    PaintCore::BusyScope busy(core.View());
    const PaintState& s = core.State();
    int32_t x = in.x;
    int32_t y = in.y;
    if (tool == 25) {
        if (m.width >= 2)
            x = Snap(x, m.x1, m.width, m.grabX);
        if (m.height >= 2)
            y = Snap(y, m.y1, m.height, m.grabY);
    }
    const bool relative = tool == 27 && core.ButtonFlag() != 0;
    int count = 1;
    int32_t nx = std::max(x - m.grabX, 1);
    int32_t ny = std::max(y - m.grabY, 1);
    if (relative) {
        // As far towards the release as the last step reaches; an axis
        // without a step sets no limit.
        int64_t n = std::numeric_limits<int32_t>::max();
        if (m.stepX != 0)
            n = std::min<int64_t>(n, std::abs((nx - m.x1) / m.stepX));
        if (m.stepY != 0)
            n = std::min<int64_t>(n, std::abs((ny - m.y1) / m.stepY));
        if (m.stepX == 0 && m.stepY == 0)
            return;
        count = static_cast<int>(n);
        nx = m.x1 + m.stepX;
        ny = m.y1 + m.stepY;
    } else {
        m.stepX = nx - m.originX;
        m.stepY = ny - m.originY;
    }
    if (tool == 28) {
        count = core.View().MultiCopyCount(tool);
        if (count == 0)
            return;
    }
    core.UndoPosInc();
    // A single placement is cut to the picture; a repetition that leaves
    // it ends the run.
    for (int i = 0; i < count; ++i) {
        const int32_t px = nx + i * m.stepX;
        const int32_t py = ny + i * m.stepY;
        if (!PlaceAt(core, motif, px, py, count > 1 || relative))
            break;
        m.x1 = px;
        m.y1 = py;
        if (m.stepX == 0 && m.stepY == 0)
            break;
    }
    m.originX = m.x1;
    m.originY = m.y1;
    m.x2 = m.x1 + m.width - 1;
    m.y2 = m.y1 + m.height - 1;
    core.Hooks().P_SymbolCopyClipBoardToBild(false, m.width);
    core.Hooks().F_SymbolLevelfuellen(false);
    if (count > 1 || relative)
        core.RedrawCells(1, 1, s.width, s.height);
    else
        core.RedrawChanged(m.x1, m.y1, std::min(m.x2, s.width), std::min(m.y2, s.height));
    core.View().SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
    core.MarkChanged();
}
