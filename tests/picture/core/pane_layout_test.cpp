#include <gtest/gtest.h>

#include "picture/core/cell_size.h"
#include "picture/core/pane_layout.h"

#include <cmath>

namespace {

TEST(PaneLayout, SplitNearEdgesOrNotAllowedDoesNothing)
{
    PaneLayout l(600);
    EXPECT_FALSE(l.Split(0, 20, true));
    EXPECT_FALSE(l.Split(0, 29, true));
    EXPECT_FALSE(l.Split(0, 580, true));
    EXPECT_FALSE(l.Split(0, 200, false));
    EXPECT_FALSE(l.Split(1, 200, true));
    EXPECT_EQ(l.Widths(), (std::vector<int>{600}));
    EXPECT_TRUE(l.Split(0, 30, true));
}

TEST(PaneLayout, SplitJoinAndMove)
{
    PaneLayout l(600);
    ASSERT_TRUE(l.Split(0, 200, true));
    EXPECT_EQ(l.Widths(), (std::vector<int>{195, 405}));
    EXPECT_EQ(l.SplitterWidth(0), 5);
    EXPECT_EQ(l.SplitterWidth(1), 0);
    EXPECT_EQ(l.Widest(), 1);
    // Splitting a middle pane: the panes behind keep their widths, the last fills.
    ASSERT_TRUE(l.Split(1, 100, true));
    EXPECT_EQ(l.Widths(), (std::vector<int>{195, 95, 310}));
    EXPECT_EQ(l.SplitterAt(194), 0);
    EXPECT_EQ(l.SplitterAt(190), 0);
    EXPECT_EQ(l.SplitterAt(189), -1);
    EXPECT_EQ(l.SplitterAt(287), 1);
    EXPECT_EQ(l.SplitterAt(599), -1);

    EXPECT_EQ(l.MoveSplitter(0, 215), 215);
    EXPECT_EQ(l.Widths(), (std::vector<int>{215, 75, 310}));
    EXPECT_EQ(l.MoveSplitter(0, 1000), 255);
    EXPECT_EQ(l.Widths(), (std::vector<int>{255, 35, 310}));

    l.Resize(700);
    EXPECT_EQ(l.Widths(), (std::vector<int>{255, 35, 410}));
    // The pane's width goes to the next one.
    ASSERT_TRUE(l.Join(0));
    EXPECT_EQ(l.Widths(), (std::vector<int>{290, 410}));
    EXPECT_EQ(l.MinimumFormWidth(0, 17), 290 + 30 + 17);
    // Joining the last pane: the previous one fills.
    ASSERT_TRUE(l.Join(1));
    EXPECT_EQ(l.Widths(), (std::vector<int>{700}));
    EXPECT_FALSE(l.Join(0));
    EXPECT_EQ(l.MinimumFormWidth(0, 17), 47);
}

TEST(CellSizeFromZoom, RoundsHalvesToEvenAndStaysInAByte)
{
    const struct {
        double factor;
        int step;
        int size;
    } cases[] = {
        {1.5, 1, 2}, {1.5, 2, 3}, {1.5, 3, 4}, {1.5, 5, 8}, {0.3, 1, 1},  {2.0, 200, 255},
        {1.0, 0, 1}, {0.0, 7, 1}, {-2.0, 7, 1}, {NAN, 5, 1}, {INFINITY, 5, 255}, {1.0, 255, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CellSizeFromZoom(static_cast<uint8_t>(c.step), c.factor), c.size) << c.factor << " " << c.step;
}

}  // namespace
