#include "pattern/shapes/line_walk.h"

#include <cmath>
#include <cstdlib>

namespace {

// A line towards the right (upwards) ends on the last whole step inside the
// drag, towards the left (downwards) on the first whole step beyond it.
void LayOutAxis(int64_t from, int64_t& to, int64_t step, int64_t& extent)
{
    const int64_t d = std::llabs(to - from);
    if (to >= from) {
        extent = ((d + step) / step) * step;
        to = from + extent - step;
    } else {
        extent = ((d + 2 * step - 1) / step) * step;
        to = from - (extent - step);
    }
    if (extent == 0)
        extent = 1;
}

}  // namespace

LineWalk::LineWalk(int64_t x0, int64_t x1, int64_t y0, int64_t y1, int64_t stepX, int64_t stepY,
                   int32_t slopeX, int32_t slopeY)
{
    slope_[0] = slopeX < 1 ? 1 : slopeX;
    slope_[1] = slopeY < 1 ? 1 : slopeY;
    stepX = stepX < 1 ? 1 : stepX;
    stepY = stepY < 1 ? 1 : stepY;
    start_[0] = x0;
    start_[1] = y0;
    LayOutAxis(x0, x1, stepX, extent_[0]);
    LayOutAxis(y0, y1, stepY, extent_[1]);
    end_[0] = x1;
    end_[1] = y1;
    step_[0] = x1 >= x0 ? stepX : -stepX;
    step_[1] = y1 >= y0 ? stepY : -stepY;
    gaps_ = slope_[0] > 1 || slope_[1] > 1;

    const bool flat = (extent_[1] / slope_[1]) / (extent_[0] / slope_[0]) < 1;
    major_ = flat ? 0 : 1;
    minor_ = 1 - major_;
    const int a = major_;
    const int b = minor_;
    n_ = extent_[b] / slope_[b];
    if (n_ == 0)
        n_ = 1;
    run_ = ((extent_[a] / n_) / slope_[a]) * slope_[a];
    rest_ = (extent_[a] - n_ * run_) / slope_[a];
    q_ = rest_ > 0 ? static_cast<double>(n_) / static_cast<double>(rest_) : 0.0;
    lower_ = step_[b] > 0 ? start_[b] : end_[b];
    stride_ = std::llabs(step_[b]);
}

bool LineWalk::Chosen(int64_t m) const
{
    // The runs nearest(k q), k = 1 .. rest, take one step more; q > 1, so
    // only the k next to m / q can hit m.
    const auto k0 = static_cast<int64_t>(std::floor(static_cast<double>(m) / q_));
    for (int64_t k = k0 - 1; k <= k0 + 1; ++k) {
        if (k >= 1 && k <= rest_ && std::llrint(static_cast<double>(k) * q_) == m)
            return true;
    }
    return false;
}

int64_t LineWalk::RunLength(int64_t minor) const
{
    const int64_t offset = minor - lower_;
    if (offset < 0 || offset / stride_ >= n_)
        return 0;
    const int64_t m = offset / stride_ + 1;
    return run_ + (rest_ > 0 && Chosen(m) ? slope_[major_] : 0);
}

bool LineWalk::Beyond(int64_t v, const CellBox& reach) const
{
    if (major_ == 0)
        return step_[0] > 0 ? v > reach.x2 : v < reach.x1;
    return step_[1] > 0 ? v > reach.y2 : v < reach.y1;
}

LineWalk BrushLine(const PaintState& state, int64_t x0, int64_t x1, int64_t y0, int64_t y1)
{
    const ShapeSettings& s = state.settings;
    // With the step byte off the steps grow with the brush.
    const int64_t widen = state.stepByte != 0 ? 1 : s.lineWidth + 1;
    return LineWalk(x0, x1, y0, y1, widen * s.slopeX, widen * s.slopeY, s.slopeX, s.slopeY);
}
