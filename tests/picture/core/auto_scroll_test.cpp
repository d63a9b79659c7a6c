#include <gtest/gtest.h>

#include "picture/core/auto_scroll.h"

namespace {

const AutoScroll::Pointer kRightEdge{190, 100, 200, 200};
const AutoScroll::Pointer kMiddle{100, 100, 200, 200};

TEST(AutoScroll, StartsAfter1001MsAndSpeedsUpToTheMaximum)
{
    AutoScroll a;
    int64_t now = 5'000;
    EXPECT_EQ(a.Tick(now, kRightEdge, true, false).dx, 0);
    for (; now < 5'000 + 1000; now += 50)
        EXPECT_EQ(a.Tick(now, kRightEdge, true, false).dx, 0) << now;
    std::vector<int> steps;
    for (int i = 0; i < 12; ++i, now += 50)
        steps.push_back(a.Tick(now + 1, kRightEdge, true, false).dx);
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10}));
}

TEST(AutoScroll, LeavingTheBandOrReleasingResets)
{
    AutoScroll a;
    a.Tick(0, kRightEdge, true, false);
    a.Tick(1001, kRightEdge, true, false);
    EXPECT_TRUE(a.Running());
    a.Tick(1050, kMiddle, true, false);
    EXPECT_TRUE(a.Idle());
    a.Tick(1100, kRightEdge, true, false);
    EXPECT_EQ(a.Tick(2000, kRightEdge, true, false).dx, 0);
    a.Tick(2050, kRightEdge, false, false);
    EXPECT_TRUE(a.Idle());
}

TEST(AutoScroll, EdgesAndDirections)
{
    struct Case {
        AutoScroll::Pointer p;
        int dx, dy;
    } cases[] = {{{5, 100, 200, 200}, -1, 0},  {{165, 100, 200, 200}, 1, 0}, {{100, 34, 200, 200}, 0, 1},
                 {{100, 166, 200, 200}, 0, -1}, {{0, 0, 200, 200}, -1, 1}};
    for (const Case& c : cases) {
        AutoScroll a;
        a.Tick(0, c.p, true, false);
        const AutoScroll::Step s = a.Tick(1001, c.p, true, false);
        EXPECT_EQ(s.dx, c.dx) << c.p.x << "," << c.p.y;
        EXPECT_EQ(s.dy, c.dy) << c.p.x << "," << c.p.y;
    }
    // The keyboard cursor or the temporary zoom keep it from scrolling.
    AutoScroll blocked;
    blocked.Tick(0, kRightEdge, true, true);
    EXPECT_EQ(blocked.Tick(1001, kRightEdge, true, true).dx, 0);
}

}  // namespace
