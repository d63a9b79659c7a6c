#include <gtest/gtest.h>

#include "picture/core/placing_frame.h"
#include "picture/core/zoom_bar_layout.h"

namespace {

TEST(ZoomBarLayout, PanelsThatFit)
{
    struct Case {
        int height, steps, visible, panelHeight;
    } cases[] = {{100, 16, 5, 20}, {400, 16, 16, 25}, {10, 16, 1, 10}, {0, 4, 1, 0}, {100, 3, 3, 33}};
    for (const Case& c : cases) {
        const ZoomBarLayout l = ZoomBarLayout::For(18, c.height, c.steps);
        EXPECT_EQ(l.visibleSteps, c.visible) << c.height;
        EXPECT_EQ(l.panelHeight, c.panelHeight) << c.height;
        ASSERT_EQ(l.panels.size(), static_cast<size_t>(c.steps));
        for (int i = 0; i < c.steps; ++i)
            EXPECT_EQ(l.panels[i].visible, i < c.visible) << c.height << " panel " << i;
    }
    EXPECT_EQ(ZoomBarLayout::For(18, 100, 16).panels[4].top, 80);
    EXPECT_TRUE(ZoomBarLayout::For(18, 100, 0).panels.empty());
}

TEST(PlacingFrame, StaysInTheViewAndThePicture)
{
    // 800 x 600 visible at one pixel per cell, step 4: 200 x 150 cells.
    struct Case {
        int x, y, x1, y1;
    } cases[] = {{1, 1, 1, 1}, {400, 300, 300, 225}, {800, 600, 600, 450}, {90, 70, 1, 1}};
    for (const Case& c : cases) {
        const PlacingFrame f = PlacingFrame::Around(c.x, c.y, 200, 150, 1, 800, 1, 600);
        EXPECT_EQ(f.x1, c.x1) << c.x;
        EXPECT_EQ(f.y1, c.y1) << c.y;
        EXPECT_EQ(f.x2, f.x1 + 199);
        EXPECT_EQ(f.y2, f.y1 + 149);
    }
    // Rows are kept by the visible rows, not the picture height.
    const PlacingFrame high = PlacingFrame::Around(10, 5000, 200, 150, 1, 800, 4001, 600);
    EXPECT_EQ(high.y2, 4001 + 600 - 2);
    // A frame larger than the view still starts at 1.
    EXPECT_EQ(PlacingFrame::Around(5, 5, 900, 700, 1, 800, 1, 600).x1, 1);
}

}  // namespace
