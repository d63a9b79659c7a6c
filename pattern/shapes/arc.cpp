#include "pattern/shapes/arc.h"

#include <algorithm>
#include <cmath>

#include "pattern/shapes/line_painter.h"
#include "pattern/shapes/line_preview.h"
#include "pattern/shapes/real_text.h"

namespace {

int32_t Nearest(double v)
{
    return static_cast<int32_t>(std::clamp<double>(std::nearbyint(v), INT32_MIN, INT32_MAX));
}

// Joins the points of the arc, painted or previewed, and keeps their box.
class ArcPen {
public:
    ArcPen(PaintSurface& surface, PaintState& state, bool preview)
        : surface_(surface), state_(state), preview_(preview)
    {
    }
    void Join(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
    {
        if (preview_) {
            StepLine(surface_, state_, 1, x0, x1, y0, y1);
            return;
        }
        PaintMotifRows(surface_, state_, true, 1, x0, x1, y0, y1);
        Track(x0, y0);
        Track(x1, y1);
    }
    void Finish()
    {
        if (preview_ || !any_ || surface_.SubclassRedraws(0))
            return;
        const int32_t lw = state_.settings.lineWidth;
        surface_.RedrawCells(x1_, y1_, x2_ + lw, y2_ + lw);
    }

private:
    void Track(int32_t x, int32_t y)
    {
        x1_ = any_ ? std::min(x1_, x) : x;
        y1_ = any_ ? std::min(y1_, y) : y;
        x2_ = any_ ? std::max(x2_, x) : x;
        y2_ = any_ ? std::max(y2_, y) : y;
        any_ = true;
    }

    PaintSurface& surface_;
    PaintState& state_;
    bool preview_;
    bool any_ = false;
    int32_t x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

}  // namespace

void DrawArc(PaintSurface& surface, PaintState& state, bool preview, int32_t ax, int32_t ay, int32_t bx,
             int32_t by, int32_t cx, int32_t cy)
{
    ArcPen pen(surface, state, preview);
    if (bx == ax) {
        // No slope to turn the frame by: the chord alone.
        pen.Join(bx, by, ax, ay);
        pen.Finish();
        return;
    }
    const double m = static_cast<double>(by - ay) / static_cast<double>(bx - ax);
    surface.StatusText(3, GeneralRealText(m));
    const double root = std::sqrt(m * m + 1);
    const double cosine = 1 / root;
    const double sine = m / root;
    auto u = [&](double px, double py) { return (px - ax) * cosine + (py - ay) * sine + ax; };
    auto v = [&](double px, double py) { return ay - (px - ax) * sine + (py - ay) * cosine; };
    const double ub = u(bx, by);
    const double uc = u(cx, cy);
    const double vc = v(cx, cy);
    const int64_t chord = std::llabs(std::llrint(ub - ax));
    const int64_t N = chord / 2;
    if (N == 0) {
        // A chord of a cell or two has no room for a curve.
        pen.Join(bx, by, ax, ay);
        pen.Finish();
        return;
    }
    const double h = static_cast<double>(std::llrint(v(bx, by) - vc));
    const double denominator = (ax + ub) / 2 - uc;
    double s = denominator != 0 ? std::fabs(vc - ay) / denominator : 0;
    if (s == 0)
        s = state.height;
    const double n = static_cast<double>(N);
    // The right branch mirrors the left one over the chord, so both end on
    // its ends and a flat arc is the chord itself, of even length as well.
    const double left = std::min<double>(ax, ub);
    const double right = left + static_cast<double>(chord);
    int32_t prev[2][2] = {};
    for (int64_t t = -N; t <= 0; ++t) {
        const double td = static_cast<double>(t);
        const double vt = (td * td / n) * (h / n) + vc;
        const double shear = std::fabs(vt - ay) / s;
        const double us[2] = {left + n + td - shear, right - n - td - shear};
        for (int k = 0; k < 2; ++k) {
            const int32_t X = Nearest((us[k] - ax) * cosine - (vt - ay) * sine + ax);
            const int32_t Y = Nearest(ay + (us[k] - ax) * sine + (vt - ay) * cosine);
            if (t == -N) {
                prev[k][0] = X;
                prev[k][1] = Y;
            }
            pen.Join(X, Y, prev[k][0], prev[k][1]);
            prev[k][0] = X;
            prev[k][1] = Y;
        }
    }
    pen.Finish();
}
