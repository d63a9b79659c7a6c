#include "pattern/paint/transform_drag_tool.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "pattern/motif/motif_transform.h"
#include "pattern/paint/motif_edit.h"
#include "pattern/paint/paint_core.h"

namespace {

void SpanTo(MotifBlock& m, int32_t ax, int32_t ay, int32_t x, int32_t y)
{
    m.x1 = std::max(std::min(ax, x), 1);
    m.y1 = std::max(std::min(ay, y), 1);
    m.x2 = std::max(ax, x);
    m.y2 = std::max(ay, y);
    m.width = m.x2 - m.x1 + 1;
    m.height = m.y2 - m.y1 + 1;
}

}  // namespace

void TransformDragTool::Event(PaintCore& core, const CellInput& in)
{
    if (core.Phase() == 0) {
        if (in.B != 0 && !core.Motif().Empty())
            Press(core, in);
        return;
    }
    if (in.B != 0)
        Drag(core, in);
    else
        Finish(core, in);
}

void TransformDragTool::Press(PaintCore& core, const CellInput& in)
{
    core.View().ClearFeedback();
    core.View().SetMarkedRange(0, 0, 0, 0);
    saved_ = core.Motif();
    core.State().anchorX = saved_.x1;
    core.State().anchorY = saved_.y1;
    pressX_ = in.x;
    pressY_ = in.y;
    core.SetPhase(1);
}

void TransformDragTool::HeldEnd(PaintCore& core, const CellInput& in, int32_t& x, int32_t& y) const
{
    x = core.ToolNow() == 35 ? saved_.x2 : in.x;
    y = core.ToolNow() == 36 ? saved_.y2 : in.y;
}

std::array<int32_t, 8> TransformDragTool::TurnedCorners(double degrees) const
{
    const double cx = (saved_.x1 + saved_.x2) / 2.0;
    const double cy = (saved_.y1 + saved_.y2) / 2.0;
    const double a = degrees * std::numbers::pi / 180.0;
    const double corners[4][2] = {{saved_.x1 - 0.5, saved_.y1 - 0.5},
                                  {saved_.x2 + 0.5, saved_.y1 - 0.5},
                                  {saved_.x2 + 0.5, saved_.y2 + 0.5},
                                  {saved_.x1 - 0.5, saved_.y2 + 0.5}};
    std::array<int32_t, 8> out{};
    for (int i = 0; i < 4; ++i) {
        const double dx = corners[i][0] - cx, dy = corners[i][1] - cy;
        out[static_cast<size_t>(2 * i)] = static_cast<int32_t>(std::lrint(cx + dx * std::cos(a) - dy * std::sin(a)));
        out[static_cast<size_t>(2 * i + 1)] = static_cast<int32_t>(std::lrint(cy + dx * std::sin(a) + dy * std::cos(a)));
    }
    return out;
}

void TransformDragTool::Drag(PaintCore& core, const CellInput& in)
{
    int32_t x = 0, y = 0;
    HeldEnd(core, in, x, y);
    PaintView& view = core.View();
    const uint8_t tool = core.ToolNow();
    if (tool == 37) {
        const double degrees =
            MotifRotationAngle(saved_.x1, saved_.y1, saved_.x2, saved_.y2, pressX_, pressY_, x, y);
        const std::array<int32_t, 8> c = TurnedCorners(degrees);
        view.FeedbackQuad(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
        return;
    }
    if (tool == 32 || tool == 33) {
        const int32_t offset = tool == 32 ? x - pressX_ : y - pressY_;
        const int32_t s = offset;
        // The bottom row (left column) stays, the far one moves by the offset.
        if (tool == 32)
            view.FeedbackQuad(saved_.x1, saved_.y1, saved_.x2, saved_.y1, saved_.x2 + s, saved_.y2, saved_.x1 + s,
                              saved_.y2);
        else
            view.FeedbackQuad(saved_.x1, saved_.y1, saved_.x1, saved_.y2, saved_.x2, saved_.y2 + s, saved_.x2,
                              saved_.y1 + s);
        return;
    }
    MotifBlock m = saved_;
    SpanTo(m, saved_.x1, saved_.y1, x, y);
    view.FeedbackFrame(m.x1, m.y1, m.x2, m.y2);
    core.StatusText(2, std::to_string(m.width) + ":" + std::to_string(m.height));
}

bool TransformDragTool::Result(PaintCore& core, int32_t x, int32_t y, MotifImage& result, MotifBlock& where) const
{
    MotifImage original;
    if (!LoadWorkMotif(core, true, original) || original.width == 0)
        return false;
    const uint8_t tool = core.ToolNow();
    const uint8_t transparent = core.State().transparentColour;
    where = saved_;
    if (tool == 32 || tool == 33) {
        const int32_t offset = tool == 32 ? x - pressX_ : y - pressY_;
        StretchMotif(original, offset, tool == 33, transparent, result);
        if (offset < 0 && tool == 32)
            where.x1 = std::max(where.x1 + offset, 1);
        if (offset < 0 && tool == 33)
            where.y1 = std::max(where.y1 + offset, 1);
    } else if (tool == 37) {
        const double degrees = MotifRotationAngle(saved_.x1, saved_.y1, saved_.x2, saved_.y2, pressX_, pressY_, x, y);
        const MotifSize size = RotatedMotifSize(original.width, original.Rows(), degrees);
        RotateMotif90(original, degrees, size.width, size.rows, transparent, result);
        const int32_t cx = (saved_.x1 + saved_.x2) / 2;
        const int32_t cy = (saved_.y1 + saved_.y2) / 2;
        where.x1 = std::max(cx - (size.width - 1) / 2, 1);
        where.y1 = std::max(cy - (size.rows - 1) / 2, 1);
    } else {
        SpanTo(where, saved_.x1, saved_.y1, x, y);
        MirrorScaleMotif(original, where.width, where.height, kMirrorNone, result);
    }
    where.width = result.width;
    where.height = result.Rows();
    where.x2 = where.x1 + where.width - 1;
    where.y2 = where.y1 + where.height - 1;
    return true;
}

void TransformDragTool::Finish(PaintCore& core, const CellInput& in)
{
    PaintView& view = core.View();
    view.ClearFeedback();
    int32_t x = 0, y = 0;
    HeldEnd(core, in, x, y);
    MotifImage result;
    MotifBlock where;
    {
        PaintCore::BusyScope busy(view);
        if (Result(core, x, y, result, where)) {
            core.Motif() = where;
            core.Hooks().P_SymbolCopyLevelLoeschen();
            // A shear or a turn is the motif from now on: a later scaling
            // starts from it. Stretching keeps the untouched picture.
            const uint8_t tool = core.ToolNow();
            SaveWorkMotif(core, result, tool == 32 || tool == 33 || tool == 37);
        }
    }
    view.P_KopierenButtonEnable(true);
    const MotifBlock& m = core.Motif();
    core.ReturnToPreviousTool();
    core.SetPhase(core.SavedPhase());
    if (core.ToolNow() == 26)
        core.SetPhase(4);
    view.SetMarkedRange(m.x1, m.y1, m.x2, m.y2);
}
