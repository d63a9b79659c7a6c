#include <gtest/gtest.h>

#include "picture/core/picture_geometry.h"

namespace {

PictureGeometry Pane(int w, int h, int box_w, int box_h, int cell = 1, bool anchored = true)
{
    PictureGeometry g;
    g.pictureWidth = w;
    g.pictureHeight = h;
    g.cellWidth = g.cellHeight = cell;
    g.boxWidth = box_w;
    g.boxHeight = box_h;
    g.bottomAnchored = anchored;
    g.Update();
    return g;
}

TEST(PictureGeometry, VerticalPositionsShowTheTopAtTheMinimumAndRowOneAtTheMaximum)
{
    const PictureGeometry g = Pane(30, 100, 30, 20);
    const ScrollRange r = g.VerticalRange();
    EXPECT_EQ(r.minimum, 1);
    EXPECT_EQ(r.maximum, 81);
    EXPECT_EQ(r.largeChange, 19);
    // Row 100 at the top at the minimum, row 1 at the bottom at the maximum.
    EXPECT_EQ(g.FirstRowAt(1), 81);
    EXPECT_EQ(g.FirstRowAt(1) + g.visibleRows - 1, 100);
    EXPECT_EQ(g.FirstRowAt(80), 2);
    EXPECT_EQ(g.FirstRowAt(81), 1);
    for (int p = 1; p <= 81; ++p)
        EXPECT_EQ(g.PositionForFirstRow(g.FirstRowAt(p)), p);
}

TEST(PictureGeometry, ShortPictureSitsAtTheBottom)
{
    const PictureGeometry g = Pane(20, 5, 200, 200, 10);
    EXPECT_EQ(g.visibleRows, 5);
    EXPECT_EQ(g.topMargin, 150);
    EXPECT_EQ(g.CellTop(1, 1), 190);
    EXPECT_FALSE(g.VerticalRange().enabled);
    const CellBand whole = g.WholeView(1, 1);
    EXPECT_EQ(whole.rows, 5);
    EXPECT_EQ(whole.columns, 20);
    EXPECT_EQ(whole.topPixel, 150);
    // The rest of a row that does not fit is a margin too.
    EXPECT_EQ(Pane(20, 50, 200, 205, 10).topMargin, 5);
}

TEST(PictureGeometry, WholeViewWithoutAnchoringAsksForNoRowBelowOne)
{
    const PictureGeometry g = Pane(20, 50, 200, 205, 10, false);
    EXPECT_EQ(g.topMargin, 0);
    const CellBand whole = g.WholeView(1, 1);
    // The strip under row 1 is row 0: drawn as background by the renderer.
    EXPECT_EQ(whole.firstRow, 0);
    EXPECT_EQ(whole.rows, 21);
    EXPECT_EQ(whole.topPixel, 0);
    EXPECT_EQ(g.Rectangle(1, 0, 3, 2, 1, 1).firstRow, 1);
}

TEST(PictureGeometry, CellsAndPixels)
{
    const PictureGeometry g = Pane(10, 10, 100, 100, 10);
    struct Case {
        int px, py, x, y;
    } cases[] = {{0, 99, 1, 1}, {9, 90, 1, 1}, {10, 89, 2, 2}, {99, 0, 10, 10}, {55, 45, 6, 6}};
    for (const Case& c : cases) {
        EXPECT_EQ(g.ColumnAt(c.px, 1), c.x) << c.px;
        EXPECT_EQ(g.RowAt(c.py, 1), c.y) << c.py;
    }
    EXPECT_EQ(g.RowAt(100, 1), 0);
}

TEST(PictureGeometry, RectangleIsCutToViewAndPicture)
{
    const PictureGeometry g = Pane(200, 50, 400, 200, 4);
    const CellBand b = g.Rectangle(90, 45, 250, 60, 2, 1);
    EXPECT_EQ(b.firstColumn, 90);
    EXPECT_EQ(b.columns, 12);  // columns 90 .. 101 of the view 2 .. 101
    EXPECT_EQ(b.firstRow, 45);
    EXPECT_EQ(b.rows, 6);
    EXPECT_EQ(b.leftPixel, 88 * 4);
    EXPECT_EQ(b.topPixel, 0);
    EXPECT_TRUE(g.Rectangle(300, 1, 310, 2, 1, 1).Empty());
}

TEST(PictureGeometry, OutlineLiesOnTheGridLinesAroundTheCells)
{
    const PictureGeometry g = Pane(10, 10, 100, 100, 10);
    const Outline o = g.CellOutline(3, 2, 6, 4, 1, 1);
    EXPECT_EQ(o.left, 20);
    EXPECT_EQ(o.right, 60);
    EXPECT_EQ(o.bottom, 89);
    EXPECT_EQ(o.top, 59);
    EXPECT_EQ(o.clipRight, 100);
    EXPECT_EQ(o.clipTop, 0);
}

}  // namespace
