#include "pattern/shapes/rhombus.h"

#include "pattern/shapes/line_painter.h"
#include "pattern/shapes/line_preview.h"
#include "pattern/shapes/line_walk.h"

namespace {

// Draws one segment of the rhombus. `corner`: the segment reaches the right
// corner, whose place it may give back (true).
class RhombusPen {
public:
    virtual ~RhombusPen() = default;
    virtual bool Segment(int32_t x0, int32_t y0, int32_t& x1, int32_t& y1, bool corner) = 0;
    void Point(int32_t x, int32_t y)
    {
        int32_t ex = x;
        int32_t ey = y;
        Segment(x, y, ex, ey, false);
    }
};

class RhombusPainter : public RhombusPen {
public:
    RhombusPainter(PaintSurface& surface, PaintState& state, bool writeRule)
        : surface_(surface), state_(state), writeRule_(writeRule)
    {
    }
    bool Segment(int32_t x0, int32_t y0, int32_t& x1, int32_t& y1, bool) override
    {
        PaintBrush(surface_, state_, true, writeRule_, x0, x1, y0, y1);
        return true;
    }

private:
    PaintSurface& surface_;
    PaintState& state_;
    bool writeRule_;
};

class RhombusPreview : public RhombusPen {
public:
    RhombusPreview(PaintSurface& surface, PaintState& state, uint8_t flag)
        : surface_(surface), state_(state), flag_(flag)
    {
    }
    // The corner is where the painter's edge will end, so that the preview
    // shows the rhombus release paints.
    bool Segment(int32_t x0, int32_t y0, int32_t& x1, int32_t& y1, bool corner) override
    {
        StepLine(surface_, state_, flag_, x0, x1, y0, y1);
        if (!corner)
            return false;
        if (state_.settings.Staircase()) {
            x1 = state_.staircaseEndX;
            y1 = state_.staircaseEndY;
        } else {
            const LinePoint end = BrushLine(state_, x0, x1, y0, y1).End();
            x1 = static_cast<int32_t>(end.x);
            y1 = static_cast<int32_t>(end.y);
        }
        return true;
    }

private:
    PaintSurface& surface_;
    PaintState& state_;
    uint8_t flag_;
};

// The lower right edge ends where the painter's stepping puts the right
// corner; the rest of the outline follows from it, symmetric about column L.
void DrawRhombusWith(RhombusPen& pen, const PaintState& state, int32_t L, int32_t R, int32_t B, int32_t T)
{
    if (L > R || B > T)
        return;
    const int32_t s = state.settings.slopeX;
    const int32_t sy = state.settings.slopeY;
    if (R - L <= 2 * s)
        R = L + 2 * s;
    int32_t Y = B + 2;
    pen.Point(L, B);
    if (s == 1) {
        int32_t rx = R;
        int32_t ry = Y;
        if (pen.Segment(L + 1, B + 1, rx, ry, true)) {
            R = rx;
            Y = ry;
        }
        int32_t x = L, y = 2 * Y - B;
        pen.Segment(R - 1, Y + 1, x, y, false);
        pen.Point(L, 2 * Y - B + 1);
        x = 2 * L - R + 1, y = Y + 1;
        pen.Segment(L, 2 * Y - B, x, y, false);
        pen.Point(2 * L - R + 1, Y);
        pen.Point(2 * L - R + 1, Y - 1);
        x = L, y = B + sy - 1;
        pen.Segment(2 * L - R + 2, Y - 2, x, y, false);
        for (int32_t k = 1; k <= sy - 2; ++k)
            pen.Point(L, B + sy - 1 - k);
        return;
    }
    int32_t x = L + s, y = B + 1;
    pen.Segment(L, B + 1, x, y, false);
    int32_t rx = R;
    int32_t ry = Y;
    if (pen.Segment(L + s, B + 1, rx, ry, true) && state.settings.Staircase()) {
        R = rx;
        Y = ry;
    }
    x = L, y = 2 * Y - B - 1;
    pen.Segment(R - s, Y, x, y, false);
    pen.Point(L, 2 * Y - B);
    for (int32_t k = 0; k <= s - 1; ++k)
        pen.Point(L - k, 2 * Y - B + 1);
    x = 2 * L - R + 1, y = Y + 1;
    pen.Segment(L - s + 1, 2 * Y - B, x, y, false);
    pen.Point(2 * L - R + 1, Y);
    x = 2 * L - R + 1 + s, y = Y - 1;
    pen.Segment(2 * L - R + 1, Y - 1, x, y, false);
    x = L - s + 1, y = B;
    pen.Segment(2 * L - R + 1 + s, Y - 1, x, y, false);
    for (int32_t k = 1; k <= s - 2; ++k)
        pen.Point(L - s + 1 + k, B);
}

}  // namespace

void DrawRhombus(PaintSurface& surface, PaintState& state, bool writeRule, int32_t left, int32_t right,
                 int32_t bottom, int32_t top)
{
    RhombusPainter pen(surface, state, writeRule);
    DrawRhombusWith(pen, state, left, right, bottom, top);
}

void DrawPolygon(PaintSurface& surface, PaintState& state, uint8_t flag, int32_t left, int32_t right,
                 int32_t bottom, int32_t top)
{
    RhombusPreview pen(surface, state, flag);
    DrawRhombusWith(pen, state, left, right, bottom, top);
}
