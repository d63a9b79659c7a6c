// Every preview frames exactly the cells its painter paints, over the line
// types, slopes and widths (the painting form shows one and then the other).
// The picture is large enough that no staircase reaches its edge, where the
// painter stops and the preview runs on.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <utility>

#include "pattern/shapes/shapes.h"

namespace {

using CellSet = std::set<std::pair<int32_t, int32_t>>;

constexpr int32_t kSize = 400;

struct Settings {
    int32_t slopeX, slopeY;
    uint8_t width;
    int type;  // 0 free, 1 snap, 2 staircase
    uint8_t tool;
};

PaintState StateFor(const Settings& s)
{
    PaintState state;
    state.width = kSize;
    state.height = kSize;
    state.currentLevel = 1;
    state.currentColour = 7;
    state.tool = s.tool;
    state.settings.slopeX = s.slopeX;
    state.settings.slopeY = s.slopeY;
    state.settings.lineWidth = s.width;
    state.settings.free = s.type == 0;
    state.settings.snap = s.type == 1;
    state.settings.staircase = s.type == 2;
    return state;
}

CellSet Painted(GridSurface& grid)
{
    CellSet cells;
    const std::span<uint8_t> level = grid.Level(1);
    for (size_t i = 0; i < level.size(); ++i)
        if (level[i] != 0)
            cells.insert({static_cast<int32_t>(i % kSize + 1), static_cast<int32_t>(i / kSize + 1)});
    return cells;
}

CellSet Framed(const GridSurface& grid)
{
    CellSet cells;
    for (const GridSurface::Point& p : grid.previews)
        cells.insert({p.x, p.y});
    return cells;
}

using Draw = std::function<void(PaintSurface&, PaintState&, bool preview)>;

void ExpectSameCells(const Settings& s, const Draw& draw)
{
    GridSurface painted(1, kSize, kSize);
    GridSurface previewed(1, kSize, kSize);
    PaintState paintState = StateFor(s);
    PaintState previewState = StateFor(s);
    draw(painted, paintState, false);
    draw(previewed, previewState, true);
    EXPECT_FALSE(Painted(painted).empty());
    EXPECT_EQ(Framed(previewed), Painted(painted));
    EXPECT_TRUE(std::all_of(previewed.Level(1).begin(), previewed.Level(1).end(), [](uint8_t v) { return v == 0; }));
}

std::vector<Settings> AllSettings(uint8_t tool)
{
    std::vector<Settings> all;
    for (int type = 0; type < 3; ++type)
        for (int32_t sx = 1; sx <= 4; ++sx)
            for (int32_t sy = 1; sy <= 4; ++sy)
                for (uint8_t w = 0; w <= 3; ++w)
                    all.push_back({sx, sy, w, type, tool});
    return all;
}

TEST(PreviewMatchesPaint, Lines)
{
    std::mt19937 random(27);
    std::uniform_int_distribution<int32_t> cell(20, 60);
    for (const Settings& s : AllSettings(2)) {
        for (int k = 0; k < 4; ++k) {
            const int32_t x0 = cell(random), y0 = cell(random), x1 = cell(random), y1 = cell(random);
            SCOPED_TRACE(testing::Message() << "slope " << s.slopeX << s.slopeY << " width " << int(s.width)
                                            << " type " << s.type << " line " << x0 << "," << y0 << " " << x1
                                            << "," << y1);
            ExpectSameCells(s, [&](PaintSurface& surface, PaintState& state, bool preview) {
                int32_t ex = x1;
                int32_t ey = y1;
                if (preview)
                    StepLine(surface, state, 1, x0, x1, y0, y1);
                else
                    PaintBrush(surface, state, true, true, x0, ex, y0, ey);
            });
        }
    }
}

TEST(PreviewMatchesPaint, RhombusInBothLayouts)
{
    for (const Settings& s : AllSettings(17)) {
        SCOPED_TRACE(testing::Message() << "slope " << s.slopeX << s.slopeY << " width " << int(s.width) << " type "
                                        << s.type);
        ExpectSameCells(s, [&](PaintSurface& surface, PaintState& state, bool preview) {
            if (preview)
                DrawPolygon(surface, state, 1, 30, 36, 20, 40);
            else
                DrawRhombus(surface, state, true, 30, 36, 20, 40);
        });
    }
}

TEST(PreviewMatchesPaint, EllipsesAndCircles)
{
    for (uint8_t w = 0; w <= 3; ++w) {
        const Settings s{1, 1, w, 0, 10};
        SCOPED_TRACE(int(w));
        ExpectSameCells(s, [&](PaintSurface& surface, PaintState& state, bool preview) {
            DrawEllipse(surface, state, false, preview, 20, 30, 47, 41);
        });
        ExpectSameCells(s, [&](PaintSurface& surface, PaintState& state, bool preview) {
            if (preview)
                DrawCirclePreview(surface, state, 40, 40, 52, 47);
            else
                DrawCircleFrame(surface, state, 40, 40, 52, 47);
        });
    }
}

}  // namespace
