// The shape routines' rules that the probe table does not show: bounds on
// pictures of every size, the write rule and undo, the hooks, the write
// modes, the fill pattern and the fill's marks.
#include <gtest/gtest.h>

#include <filesystem>

#include "pattern/shapes/real_text.h"
#include "pattern/shapes/shapes.h"
#include "tests/support/test_env.h"

namespace {

struct Canvas {
    Canvas(int32_t w, int32_t h) : grid(2, w, h)
    {
        state.width = w;
        state.height = h;
        state.currentLevel = 1;
        state.currentColour = 7;
        state.fillFile = TestHome() + "Fuell.Tmp";
    }
    // Cells of level 1 that are not 0.
    size_t Painted()
    {
        size_t n = 0;
        for (uint8_t v : grid.Level(1))
            n += v != 0;
        return n;
    }
    GridSurface grid;
    PaintState state;
};

TEST(ShapeBounds, LinesStayInsidePicturesOfAnySize)
{
    // A tall picture, ends far outside, a wide brush: every write stays in
    // the picture (the sanitizer run watches the rest).
    Canvas tall(2, 65535);
    int32_t x1 = 2;
    int32_t y1 = 65535;
    PaintBrush(tall.grid, tall.state, true, true, 1, x1, 1, y1);
    EXPECT_EQ(tall.Painted(), 65535u);
    EXPECT_EQ(tall.grid.Cell(1, 2, 65535), 7);

    Canvas small(40, 40);
    small.state.settings.lineWidth = 3;
    small.state.settings.slopeX = 3;
    x1 = 1000000;
    y1 = -500000;
    PaintBrush(small.grid, small.state, true, true, 20, x1, 20, y1);
    x1 = -1000000;
    y1 = 1000000;
    StepLine(small.grid, small.state, 1, 20, 1000000, 20, 999999);
    DrawRhombus(small.grid, small.state, true, 38, 90, 38, 90);
    DrawArc(small.grid, small.state, false, 35, 35, 60, 38, 50, 1);
    DrawCircleFilled(small.grid, small.state, 39, 39, 1, 1);
    for (const GridSurface::Point& p : small.grid.previews)
        EXPECT_TRUE(p.x >= 1 && p.x <= 40 && p.y >= 1 && p.y <= 40);
    EXPECT_GT(small.Painted(), 0u);
}

TEST(ShapeBounds, VisibleAreaPastTheLastColumnDoesNotWrapIntoTheNextRow)
{
    Canvas c(10, 10);
    c.state.settings.free = 0;
    c.state.settings.staircase = 1;
    int32_t x1 = 14;
    int32_t y1 = 6;
    PaintSpan(c.grid, c.state, true, 9, x1, 1, y1);
    EXPECT_EQ(c.Painted(), 2u);
    EXPECT_EQ(c.grid.Cell(1, 10, 2), 7);
    EXPECT_EQ(c.grid.Cell(1, 1, 3), 0);
    EXPECT_EQ(x1, 10);
    EXPECT_EQ(y1, 2);

    int32_t lowest = 0;
    c.state.anchorX = 1;
    c.state.anchorY = 10;
    c.state.currentColour = 5;
    EXPECT_TRUE(FloodFill(c.grid, c.state, false, false, lowest));
    ASSERT_EQ(c.grid.redraws.size(), 1u);
    EXPECT_EQ(c.grid.redraws[0].x2, 10);
    EXPECT_EQ(c.grid.redraws[0].y2, 10);
}

TEST(ShapeWriteRule, KeptCellsAreStillSavedAndNeverHooked)
{
    Canvas c(10, 3);
    c.state.P[0] = 1;  // every cell protected
    int32_t x1 = 10;
    int32_t y1 = 1;
    PaintBrush(c.grid, c.state, true, true, 1, x1, 1, y1);
    EXPECT_EQ(c.Painted(), 0u);
    EXPECT_EQ(c.grid.undoCount, 10u);
    EXPECT_TRUE(c.grid.hooks.empty());
    EXPECT_FALSE(c.grid.RowChangedFlag(1, 1));

    c.state.P[0] = 0;
    c.state.T[7] = 1;  // the colour is transparent
    x1 = 10;
    y1 = 2;
    PaintBrush(c.grid, c.state, true, true, 1, x1, 2, y1);
    EXPECT_EQ(c.Painted(), 0u);

    c.state.T[7] = 0;
    x1 = 10;
    y1 = 3;
    PaintBrush(c.grid, c.state, false, true, 1, x1, 3, y1);
    EXPECT_EQ(c.Painted(), 10u);
    EXPECT_EQ(c.grid.hooks.size(), 10u);
    EXPECT_TRUE(c.grid.RowChangedFlag(1, 3));
    EXPECT_FALSE(c.grid.RowChangedFlag(1, 2));
}

TEST(ShapeWriteRule, GapLegKeepsOnlyTheProtectedCell)
{
    Canvas c(20, 10);
    c.state.settings.slopeX = 3;
    c.grid.SetCell(1, 2, 5, 9);
    c.state.P[9] = 1;
    int32_t x1 = 7;
    int32_t y1 = 5;
    PaintBrush(c.grid, c.state, true, true, 1, x1, 5, y1);
    // Walk points 1, 4, 7; the leg from 1 paints 1..3 except the protected 2.
    EXPECT_EQ(c.grid.Cell(1, 2, 5), 9);
    EXPECT_EQ(c.grid.Cell(1, 3, 5), 7);
    EXPECT_EQ(c.state.lastGapLeg, 2);
    EXPECT_EQ(x1, 7);
}

TEST(ShapeModes, RowModesPaintOverAndExchangeTheBackground)
{
    struct Case {
        uint8_t mode;
        std::vector<uint8_t> after;
    };
    // Row: background 0, foreground 7, another colour 3, transparent 255.
    const std::vector<uint8_t> before = {0, 7, 3, 255};
    for (const Case& k : {Case{1, {7, 7, 7, 7}}, Case{3, {7, 7, 3, 7}}, Case{4, {7, 0, 3, 7}}}) {
        SCOPED_TRACE(int(k.mode));
        Canvas c(4, 1);
        std::copy(before.begin(), before.end(), c.grid.Level(1).begin());
        PaintMotifRows(c.grid, c.state, true, k.mode, 1, 4, 1, 1);
        EXPECT_EQ(std::vector<uint8_t>(c.grid.Level(1).begin(), c.grid.Level(1).end()), k.after);
        EXPECT_EQ(c.grid.undoCount, 0u);  // a row run: the callers save it
    }
}

TEST(ShapePattern, TilesFromTheMotifOriginTopRowFirst)
{
    PaintState s;
    s.currentColour = 7;
    EXPECT_EQ(PatternPixel(s, 3, 3), 7);  // no pattern: the colour
    s.pattern = {2, 2, 5, 5, {1, 2, 3, 4}};  // top row 1 2, bottom row 3 4
    EXPECT_EQ(PatternPixel(s, 5, 5), 3);
    EXPECT_EQ(PatternPixel(s, 6, 5), 4);
    EXPECT_EQ(PatternPixel(s, 5, 6), 1);
    EXPECT_EQ(PatternPixel(s, 4, 4), 2);  // left of and below the origin
    s.pattern.originX = 6;
    EXPECT_EQ(PatternPixel(s, 6, 5), 3);

    Canvas c(4, 1);
    c.state.pattern = {2, 1, 1, 1, {8, 9}};
    c.state.motifIsForeground = 1;
    int32_t x1 = 4;
    int32_t y1 = 1;
    PaintBrush(c.grid, c.state, true, true, 1, x1, 1, y1);
    EXPECT_EQ(std::vector<uint8_t>(c.grid.Level(1).begin(), c.grid.Level(1).end()),
              (std::vector<uint8_t>{8, 9, 8, 9}));
}

TEST(ShapeSnap, LineTypeDecidesTheEnd)
{
    PaintState s;
    s.anchorX = 1;
    s.anchorY = 1;
    int32_t x = 12;
    int32_t y = 2;
    ApplySlopeSnap(s, x, y);  // free
    EXPECT_EQ(x, 12);
    s.settings = {};
    s.settings.free = 0;
    s.settings.snap = 1;
    ApplySlopeSnap(s, x, y);  // 12 x 2 cells, ratio 6: straight
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 1);
    x = 2;
    y = 12;
    ApplySlopeSnap(s, x, y);  // the long component is the row
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 12);
}

TEST(ShapeFill, MarksStayOutOfTheCells)
{
    Canvas c(6, 1);
    std::vector<uint8_t> row = {0, 0, 200, 0, 128, 0};
    std::copy(row.begin(), row.end(), c.grid.Level(1).begin());
    c.state.T[200] = 1;  // even a transparent high colour does not join
    c.state.currentColour = 0;
    c.state.anchorX = 1;
    c.state.anchorY = 1;
    int32_t lowest = 0;
    EXPECT_TRUE(FloodFill(c.grid, c.state, false, false, lowest));
    // Its own colour: unchanged, one record a cell.
    EXPECT_EQ(std::vector<uint8_t>(c.grid.Level(1).begin(), c.grid.Level(1).end()), row);
    EXPECT_EQ(c.grid.undoCount, 2u);

    c.state.anchorX = 4;
    c.state.currentColour = 250;
    EXPECT_TRUE(FloodFill(c.grid, c.state, false, false, lowest));
    EXPECT_EQ(c.grid.Cell(1, 4, 1), 250);
    EXPECT_EQ(c.grid.Cell(1, 5, 1), 128);
    EXPECT_EQ(c.grid.Cell(1, 6, 1), 0);
    // A second fill finds no marks left behind.
    c.state.anchorX = 1;
    EXPECT_TRUE(FloodFill(c.grid, c.state, false, false, lowest));
    EXPECT_EQ(c.grid.Cell(1, 2, 1), 250);
}

TEST(ShapeFill, SearchLeavesThePictureAlone)
{
    Canvas c(5, 5);
    c.grid.SetCell(1, 3, 3, 4);
    c.state.anchorX = 3;
    c.state.anchorY = 3;
    int32_t lowest = 0;
    EXPECT_TRUE(FloodFill(c.grid, c.state, true, false, lowest));
    EXPECT_EQ(lowest, 3);
    EXPECT_EQ(c.state.fillMotif.Width(), 1);
    EXPECT_EQ(c.state.fillMotif.cells, std::vector<uint8_t>{4});
    EXPECT_EQ(c.Painted(), 1u);
    EXPECT_EQ(c.grid.undoCount, 0u);
    EXPECT_FALSE(c.grid.RowChangedFlag(1, 3));
    EXPECT_TRUE(c.grid.redraws.empty());
}

TEST(ShapeFill, StaysInTheVisibleArea)
{
    Canvas c(10, 10);
    c.state.visible = {3, 4, 2, 5};  // columns 3-6, rows 2-6
    c.state.anchorX = 4;
    c.state.anchorY = 4;
    int32_t lowest = 0;
    EXPECT_TRUE(FloodFill(c.grid, c.state, false, false, lowest));
    EXPECT_EQ(c.Painted(), 20u);
    EXPECT_EQ(lowest, 2);
    c.state.anchorX = 9;  // outside: nothing
    EXPECT_TRUE(FloodFill(c.grid, c.state, false, false, lowest));
    EXPECT_EQ(c.Painted(), 20u);
}

TEST(ShapeLevels, AbsentRowsAreNeitherReadNorWritten)
{
    Canvas c(5, 5);
    c.state.currentLevel = 3;  // the grid has two levels
    int32_t x1 = 5;
    int32_t y1 = 5;
    PaintBrush(c.grid, c.state, true, true, 1, x1, 1, y1);
    DrawCircleFilled(c.grid, c.state, 3, 3, 4, 4);
    c.state.anchorX = 1;
    c.state.anchorY = 1;
    int32_t lowest = 0;
    EXPECT_TRUE(FloodFill(c.grid, c.state, false, false, lowest));
    EXPECT_EQ(c.grid.undoCount, 0u);
    EXPECT_TRUE(c.grid.hooks.empty());
}

TEST(ShapeText, StatusRealsInTheGeneralFormat)
{
    EXPECT_EQ(GeneralRealText(0), "0");
    EXPECT_EQ(GeneralRealText(0.5), "0.5");
    EXPECT_EQ(GeneralRealText(-2), "-2");
    EXPECT_EQ(GeneralRealText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(GeneralRealText(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(GeneralRealText(1.0 / 65535), "0.0000152590218966964");
    EXPECT_EQ(GeneralRealText(1e-6), "1E-6");
    EXPECT_EQ(GeneralRealText(65535), "65535");
}

}  // namespace
