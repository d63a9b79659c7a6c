#include "pattern/shapes/line_painter.h"

#include <algorithm>
#include <cstdlib>

#include "pattern/shapes/cell_box.h"
#include "pattern/shapes/cell_writer.h"
#include "pattern/shapes/line_walk.h"
#include "pattern/shapes/staircase_steps.h"

namespace {

// At least one end inside on each axis, `margin` cells kept free at the top
// and right.
bool ReachesPicture(const PaintState& state, int64_t x0, int64_t x1, int64_t y0, int64_t y1, int64_t margin)
{
    auto inside = [](int64_t v, int64_t hi) { return v >= 1 && v <= hi; };
    const int64_t w = state.width - margin;
    const int64_t h = state.height - margin;
    return (inside(x0, w) || inside(x1, w)) && (inside(y0, h) || inside(y1, h));
}

// The brush at a gap-leg cell or a staircase point. Every cell passes the
// write rule on its own: a protected cell anywhere in the brush must keep
// its colour.
void StampBrush(CellWriter& writer, const PaintState& state, bool undo, bool writeRule, int64_t x, int64_t y)
{
    const int64_t lw = state.settings.lineWidth;
    const WriteMode mode = writeRule ? WriteMode::Rule : WriteMode::Always;
    for (int64_t r = 0; r <= lw; ++r)
        for (int64_t c = 0; c <= lw; ++c)
            writer.Write(x + c, y + r, undo, mode);
}

// A thin line along one row is one run of cells, written as a whole.
void PaintRow(PaintSurface& surface, PaintState& state, bool undo, bool writeRule, int32_t x0, int32_t& x1,
              int32_t y)
{
    state.lineExtentX = static_cast<int32_t>(std::min<int64_t>(std::llabs(int64_t{x1} - x0) + 1, INT32_MAX));
    state.lineExtentY = 1;
    state.lastGapLeg = 0;
    x1 = std::clamp(x1, 1, state.width);
    CellWriter writer(surface, state);
    writer.WriteRun(std::min(x0, x1), std::max(x0, x1), y, undo, writeRule ? WriteMode::Rule : WriteMode::Always);
}

}  // namespace

void PaintBrush(PaintSurface& surface, PaintState& state, bool saveUndo, bool writeRule, int32_t x0, int32_t& x1,
                int32_t y0, int32_t& y1)
{
    const ShapeSettings& s = state.settings;
    const int64_t lw = s.lineWidth;
    if (!ReachesPicture(state, x0, x1, y0, y1, lw))
        return;
    x0 = static_cast<int32_t>(std::clamp<int64_t>(x0, 1, state.width - lw));
    y0 = static_cast<int32_t>(std::clamp<int64_t>(y0, 1, state.height - lw));
    if (s.Staircase() && state.tool != 16) {
        PaintSpan(surface, state, writeRule, x0, x1, y0, y1);
        return;
    }
    if (lw == 0 && s.slopeX == 1 && s.slopeY == 1 && y1 == y0) {
        PaintRow(surface, state, saveUndo, writeRule, x0, x1, y0);
        return;
    }
    const LineWalk line = BrushLine(state, x0, x1, y0, y1);
    state.lineExtentX = static_cast<int32_t>(std::min<int64_t>(line.ExtentX(), INT32_MAX));
    state.lineExtentY = static_cast<int32_t>(std::min<int64_t>(line.ExtentY(), INT32_MAX));
    state.lastGapLeg = 0;

    const CellBox room = PictureCells(state).Shrunk(lw);
    auto gate = [&](int64_t minor) { return line.MinorInside(room, minor); };
    CellWriter writer(surface, state);
    auto stamp = [&](int64_t x, int64_t y, StampKind kind) {
        if (kind != StampKind::Walk) {
            StampBrush(writer, state, saveUndo, writeRule, x, y);
            state.lastGapLeg = kind == StampKind::VerticalLeg ? 1 : 2;
            return false;
        }
        if (!room.Contains(x, y))
            return false;
        StampBrush(writer, state, saveUndo, writeRule, x, y);
        return true;
    };
    // A leg stamped just below or left of the picture still reaches into it
    // with the brush's upper rows and right columns.
    const CellBox picture = PictureCells(state);
    const CellBox reach{picture.x1 - lw, picture.y1 - lw, picture.x2, picture.y2};
    LinePoint last;
    if (line.Walk(reach, gate, stamp, last)) {
        x1 = static_cast<int32_t>(last.x);
        y1 = static_cast<int32_t>(last.y);
    }
}

void PaintSpan(PaintSurface& surface, PaintState& state, bool writeRule, int32_t x0, int32_t& x1, int32_t y0,
               int32_t& y1)
{
    const ShapeSettings& s = state.settings;
    StaircaseSteps steps(x0, x1, y0, y1, s.slopeX, s.slopeY);
    if (!steps.Valid())
        return;
    const CellBox room = VisibleCells(state).Shrunk(s.lineWidth);
    CellWriter writer(surface, state);
    bool any = false;
    LinePoint last;
    for (;;) {
        const int64_t x = steps.X();
        const int64_t y = steps.Y();
        if (!room.Contains(x, y))
            break;
        StampBrush(writer, state, true, writeRule, x, y);
        last = {x, y};
        any = true;
        if (steps.Done())
            break;
        steps.Advance();
    }
    if (any) {
        x1 = static_cast<int32_t>(last.x);
        y1 = static_cast<int32_t>(last.y);
    }
}

void PaintMotifRows(PaintSurface& surface, PaintState& state, bool saveUndo, uint8_t mode, int32_t x0, int32_t x1,
                    int32_t y0, int32_t y1)
{
    if (!ReachesPicture(state, x0, x1, y0, y1, 0))
        return;
    x0 = std::clamp(x0, 1, state.width);
    x1 = std::clamp(x1, 1, state.width);
    y0 = std::clamp(y0, 1, state.height);
    y1 = std::clamp(y1, 1, state.height);
    const WriteMode writeMode = mode == 3 ? WriteMode::OverBackground
                                : mode == 4 ? WriteMode::Exchange
                                            : WriteMode::Rule;
    const CellBox visible = VisibleCells(state);
    CellWriter writer(surface, state);
    if (y0 == y1 && x0 != x1 && state.tool != 9) {
        // The callers saved the run themselves.
        if (y0 < visible.y1 || y0 > visible.y2)
            return;
        for (int32_t x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
            writer.Write(x, y0, false, writeMode);
        return;
    }
    const int64_t lw = state.settings.lineWidth;
    const LineWalk line(x0, x1, y0, y1, 1, 1, 1, 1);
    auto gate = [&](int64_t minor) { return line.MinorInside(visible, minor); };
    auto stamp = [&](int64_t x, int64_t y, StampKind) {
        for (int64_t r = 0; r <= lw; ++r)
            for (int64_t c = 0; c <= lw; ++c)
                writer.Write(x + c, y + r, saveUndo, writeMode);
        return true;
    };
    LinePoint last;
    line.Walk(PictureCells(state), gate, stamp, last);
}

uint8_t PatternPixel(const PaintState& state, int32_t x, int32_t y)
{
    const FillPattern& p = state.pattern;
    if (p.Empty())
        return state.currentColour;
    auto wrap = [](int64_t v, int64_t n) { return ((v % n) + n) % n; };
    const int64_t column = wrap(int64_t{x} - p.originX, p.width);
    const int64_t row = wrap(int64_t{y} - p.originY, p.height);
    return p.pixels[static_cast<size_t>((p.height - 1 - row) * p.width + column)];
}

void SnapSlope(const PaintState& state, int32_t& a, int32_t& b)
{
    int64_t A = std::llabs(a) + 1;
    int64_t B = std::llabs(b) + 1;
    const double r = static_cast<double>(A) / static_cast<double>(B);
    if (state.settings.snap != 0) {
        auto ratio = [&](int64_t k) {
            if (A < k * B)
                B = A / k;
            A = k * B;
        };
        if (r >= 6.0)
            B = 0;
        else if (r > 4.5)
            ratio(5);
        else if (r > 3.5)
            ratio(4);
        else if (r > 2.5)
            ratio(3);
        else if (r >= 1.5)
            ratio(2);
        else
            A = B;
    }
    a = static_cast<int32_t>(a < 0 ? 1 - A : A - 1);
    b = static_cast<int32_t>(B == 0 ? 0 : b < 0 ? 1 - B : B - 1);
}

void ApplySlopeSnap(const PaintState& state, int32_t& x, int32_t& y)
{
    if (state.settings.free != 0)
        return;
    int32_t dx = state.anchorX - x;
    int32_t dy = state.anchorY - y;
    if (state.settings.snap != 0) {
        if (std::abs(dx) >= std::abs(dy))
            SnapSlope(state, dx, dy);
        else
            SnapSlope(state, dy, dx);
    }
    x = state.anchorX - dx;
    y = state.anchorY - dy;
}
