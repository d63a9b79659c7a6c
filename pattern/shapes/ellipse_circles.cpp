#include "pattern/shapes/ellipse_circles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "pattern/shapes/line_painter.h"
#include "pattern/shapes/line_preview.h"

namespace {

int64_t Nearest(double v)
{
    return std::llrint(v);
}

int32_t Cell(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// One point of an outline, a run from it to column `toX`, or its preview.
enum class Plot { Preview, Outline, Run };

void PlotPoint(PaintSurface& surface, PaintState& state, Plot plot, int64_t x, int64_t y, int64_t toX)
{
    if (plot == Plot::Run) {
        // The painter draws nothing when both ends lie outside: a run that
        // spans the whole picture would leave its row empty.
        const int64_t right = int64_t{state.width} - state.settings.lineWidth;
        if (right >= 1 && std::min(x, toX) < 1 && std::max(x, toX) > right) {
            x = x < toX ? 1 : right;
            toX = x == 1 ? right : 1;
        }
    }
    int32_t endX = Cell(plot == Plot::Run ? toX : x);
    int32_t endY = Cell(y);
    if (plot == Plot::Preview)
        StepLine(surface, state, 1, Cell(x), Cell(x), Cell(y), Cell(y));
    else
        PaintBrush(surface, state, true, true, Cell(x), endX, Cell(y), endY);
}

void RedrawUnlessSubclass(PaintSurface& surface, int64_t x1, int64_t y1, int64_t x2, int64_t y2)
{
    if (!surface.SubclassRedraws(0))
        surface.RedrawCells(Cell(x1), Cell(y1), Cell(x2), Cell(y2));
}

enum class Circle { Preview, Frame, Filled };

void DrawCircle(PaintSurface& surface, PaintState& state, Circle kind, int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    if (cx < 1 || cy < 1 || x < 1 || y < 1)
        return;
    const int64_t rx = std::llabs(int64_t{cx} - x);
    const int64_t ry = std::llabs(int64_t{cy} - y);
    const int64_t R = Nearest(std::sqrt(static_cast<double>(rx * rx + ry * ry)));
    const int64_t steps = Nearest(static_cast<double>(R) / std::sqrt(2.0));
    int64_t limit = steps;
    int64_t X = R;
    int64_t c = 0;
    const Plot point = kind == Circle::Preview ? Plot::Preview : Plot::Outline;
    for (int64_t i = 0; i <= steps; ++i) {
        const double e = std::sqrt(static_cast<double>(R * R - i * i));
        ++c;
        if (R <= 50) {
            if (i > 0 && (static_cast<double>(c) + 0.3 >= e / static_cast<double>(i) || c > limit)) {
                limit = c - 1;
                c = 0;
                --X;
            }
        } else if (static_cast<double>(X) > e || c > limit) {
            if (c > limit)
                limit = c - 1;
            c = 0;
            --X;
        }
        if (kind == Circle::Filled) {
            PlotPoint(surface, state, Plot::Run, cx + X, cy + i, cx - X);
            PlotPoint(surface, state, Plot::Run, cx + X, cy - i, cx - X);
            PlotPoint(surface, state, Plot::Run, cx + i, cy + X, cx - i);
            PlotPoint(surface, state, Plot::Run, cx + i, cy - X, cx - i);
            continue;
        }
        const int64_t px[8] = {cx + X, cx + X, cx - X, cx - X, cx - i, cx - i, cx + i, cx + i};
        const int64_t py[8] = {cy + i, cy - i, cy + i, cy - i, cy + X, cy - X, cy + X, cy - X};
        for (int k = 0; k < 8; ++k)
            PlotPoint(surface, state, point, px[k], py[k], px[k]);
    }
    if (kind != Circle::Preview) {
        const int64_t lw = state.settings.lineWidth;
        RedrawUnlessSubclass(surface, cx - R, cy - R, cx + R + 1 + lw, cy + R + 1 + lw);
    }
}

}  // namespace

void DrawEllipse(PaintSurface& surface, PaintState& state, bool filled, bool preview, int32_t x1, int32_t y1,
                 int32_t x2, int32_t y2)
{
    // A half axis of 0 counts as 1 in the sweep, so the offsets are kept
    // within the half axes: a one-cell rectangle is that cell.
    const int64_t a = (std::llabs(int64_t{x1} - x2) + 1) / 2;
    const int64_t b = (std::llabs(int64_t{y1} - y2) + 1) / 2;
    const auto A2 = static_cast<double>(std::max<int64_t>(1, a * a));
    const auto B2 = static_cast<double>(std::max<int64_t>(1, b * b));
    const int64_t cx = (int64_t{x1} + x2) / 2;
    const int64_t cy = (int64_t{y1} + y2) / 2;
    const Plot plot = preview ? Plot::Preview : filled ? Plot::Run : Plot::Outline;
    auto four = [&](int64_t i, int64_t j) {
        PlotPoint(surface, state, plot, cx - i, cy + j, cx);
        PlotPoint(surface, state, plot, cx - i, cy - j, cx);
        PlotPoint(surface, state, plot, cx + i, cy + j, cx);
        PlotPoint(surface, state, plot, cx + i, cy - j, cx);
    };
    for (int64_t i = 0; i <= a; ++i) {
        const double d = static_cast<double>(i * i) / A2;
        four(i, std::min(b, Nearest(std::sqrt(std::fabs(1.0 - d) * B2))));
    }
    for (int64_t j = 0; j <= b; ++j) {
        const double d = static_cast<double>(j * j) / B2;
        four(std::min(a, Nearest(std::sqrt(std::fabs(1.0 - d) * A2))), j);
    }
    if (!preview) {
        const int64_t lw = state.settings.lineWidth;
        RedrawUnlessSubclass(surface, std::min(x1, x2) - int64_t{1}, std::min(y1, y2) - int64_t{1},
                             std::max(x1, x2) + lw, std::max(y1, y2) + lw);
    }
}

void DrawCirclePreview(PaintSurface& surface, PaintState& state, int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    DrawCircle(surface, state, Circle::Preview, cx, cy, x, y);
}

void DrawCircleFrame(PaintSurface& surface, PaintState& state, int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    DrawCircle(surface, state, Circle::Frame, cx, cy, x, y);
}

void DrawCircleFilled(PaintSurface& surface, PaintState& state, int32_t cx, int32_t cy, int32_t x, int32_t y)
{
    DrawCircle(surface, state, Circle::Filled, cx, cy, x, y);
}
