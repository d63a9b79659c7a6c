#include <gtest/gtest.h>

#include "picture/core/window_placement.h"

namespace {

const std::vector<ScreenRect> kOne{{0, 0, 1024, 768}};
const std::vector<ScreenRect> kTwo{{0, 0, 1024, 768}, {1024, 0, 1024, 768}};

TEST(WindowPlacement, TextColumns)
{
    struct Case {
        ScreenRect bounds;
        uint16_t monitor;
        int32_t monitorLeft;
        const char* text;
    };
    const Case cases[] = {
        {{-10, 5, 300, 200}, 0, 0, "X      0     5   300   200  0"},
        {{1100, 100, 300, 200}, 1, 1024, "X     76   100   300   200  1"},
        // Left of its monitor's edge: taken to the edge first.
        {{1000, -3, 300, 200}, 1, 1024, "X      0     0   300   200  1"},
        // Numbers too long for their fields keep their last characters.
        {{0, 0, 1234567, 200}, 123, 0, "X      0     0234567   200123"},
        {{0, 0, 5, 6}, 1234, 0, "X      0     0     5     6234"},
    };
    for (const Case& c : cases) {
        const std::string text = PlacementText({c.bounds, c.monitor, c.monitorLeft, 1024});
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(text.size(), 29u);
    }
    EXPECT_EQ(RightAlign("abc", 2), "bc");
    EXPECT_EQ(RightAlign("abc", 5), "abc");
}

TEST(WindowPlacement, Parse)
{
    struct Case {
        const char* text;
        bool hasBounds;
        ScreenRect bounds;
        uint16_t monitor;
        bool malformed;
    };
    const Case cases[] = {
        {"X     40    30   300   200  0", true, {40, 30, 300, 200}, 0, false},
        {"X     76   100   300   200  1", true, {76, 100, 300, 200}, 1, false},
        // Kept 50 pixels inside the screen.
        {"X   5000  5000   300   200  0", true, {974, 718, 300, 200}, 0, false},
        // Only columns 28-29 count for the monitor.
        {"X      0     0   300   200 99", true, {0, 0, 300, 200}, 99, false},
        {"X      0     0   300   20012 ", true, {0, 0, 300, 200}, 2, false},
        {"", false, {}, 0, false},
        {"      ", false, {}, 0, false},
        {"X   abcd     0   300   200  0", false, {}, 0, true},
        {"X      0     0   300   200  x", false, {}, 0, true},
        {"X      0     0   300", false, {}, 0, true},
    };
    for (const Case& c : cases) {
        const ParsedPlacement p = ParsePlacement(c.text, 1024, 768);
        EXPECT_EQ(p.bounds.has_value(), c.hasBounds) << c.text;
        if (p.bounds && c.hasBounds) {
            EXPECT_EQ(p.bounds->left, c.bounds.left) << c.text;
            EXPECT_EQ(p.bounds->top, c.bounds.top) << c.text;
            EXPECT_EQ(p.bounds->width, c.bounds.width) << c.text;
            EXPECT_EQ(p.bounds->height, c.bounds.height) << c.text;
        }
        EXPECT_EQ(p.monitor, c.monitor) << c.text;
        EXPECT_EQ(p.malformed, c.malformed) << c.text;
    }
}

TEST(WindowPlacement, MonitorsAndMargins)
{
    EXPECT_EQ(MonitorOf({1100, 100, 300, 200}, kTwo), 1);
    EXPECT_EQ(MonitorOf({800, 100, 300, 200}, kTwo), 0);
    EXPECT_EQ(MonitorOf({5000, 5000, 10, 10}, kTwo), 0);

    EXPECT_EQ(ShownLeft(76, 1, kTwo, 2048), 1100);
    // Only a monitor of the list; not on a single screen; not once moved.
    EXPECT_EQ(ShownLeft(76, 2, kTwo, 2048), 76);
    EXPECT_EQ(ShownLeft(76, 1, kOne, 1024), 76);
    EXPECT_EQ(ShownLeft(1100, 1, kTwo, 2048), 1100);

    const ScreenRect kept = KeepOffMargins({10, 20, 300, 200}, 0, 100, 50);
    EXPECT_EQ(kept.left, 100);
    EXPECT_EQ(kept.top, 50);
    EXPECT_EQ(KeepOffMargins({10, 20, 300, 200}, 1, 100, 50).left, 10);
}

TEST(WindowPlacement, BesideThePalette)
{
    // Palette 80 x 400 at (0, 100); the tool window 324 x 120; screen 1280 x 1024.
    const ScreenRect palette{0, 100, 80, 400};
    const ScreenRect screen{0, 0, 1280, 1024};
    struct Case {
        ScreenRect picture;
        int32_t left, top;
    };
    const Case cases[] = {
        // Clear below the palette.
        {{400, 100, 500, 300}, 0, 500},
        // Below is covered, its right is free.
        {{0, 520, 900, 300}, 80, 100},
        // Both covered: below the palette and the picture.
        {{80, 100, 800, 600}, 0, 700},
        // Too tall to go below: right of the picture.
        {{80, 100, 800, 850}, 880, 100},
        // Nowhere free: below the palette, kept on the screen.
        {{0, 0, 1280, 1024}, 0, 500},
    };
    for (const Case& c : cases) {
        const ScreenRect r = PlaceBesidePalette(palette, c.picture, 324, 120, screen);
        EXPECT_EQ(r.left, c.left) << c.picture.left << "," << c.picture.top;
        EXPECT_EQ(r.top, c.top) << c.picture.left << "," << c.picture.top;
        EXPECT_EQ(r.width, 324);
        EXPECT_EQ(r.height, 120);
    }
    // A palette at the screen's bottom: the window stays on the screen.
    EXPECT_EQ(PlaceBesidePalette({1200, 900, 80, 100}, {0, 0, 1200, 1024}, 324, 120, screen).top, 904);
}

}  // namespace
