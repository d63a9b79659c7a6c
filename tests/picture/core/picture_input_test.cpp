#include <gtest/gtest.h>

#include "picture/core/picture_input.h"

namespace {

constexpr int kTab = 9, kPrior = 33, kNext = 34, kEnd = 35, kHome = 36, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kF1 = 112, kF3 = 114, kF12 = 123, kDelete = 46, kF6 = 117;

KeyContext Context(bool cursor = false)
{
    KeyContext c;
    c.keyboardCursor = cursor;
    c.pictureWidth = 200;
    c.vertical = {1, 81, 19, true};
    c.verticalPosition = 40;
    c.horizontal = {1, 101, 99, true};
    c.horizontalPosition = 50;
    return c;
}

TEST(PictureInput, ClaimedKeys)
{
    for (int vk : {kTab, kPrior, kNext, kEnd, kHome, kLeft, kUp, kRight, kDown})
        for (KeyState k : {KeyState{}, KeyState{true, false, false}, KeyState{false, true, true}})
            EXPECT_TRUE(PictureInput::ClaimsNavigationKey(vk, k)) << vk;
    EXPECT_TRUE(PictureInput::ClaimsNavigationKey(kF1, {}));
    EXPECT_TRUE(PictureInput::ClaimsNavigationKey(kF12, {}));
    EXPECT_FALSE(PictureInput::ClaimsNavigationKey(kF6, {true, false, false}));
    EXPECT_FALSE(PictureInput::ClaimsNavigationKey(kF3, {false, true, false}));
    EXPECT_FALSE(PictureInput::ClaimsNavigationKey(kDelete, {}));
    EXPECT_FALSE(PictureInput::ClaimsNavigationKey('S', {true, false, false}));
}

TEST(PictureInput, NavigationTable)
{
    using K = KeyAction;
    struct Case {
        int vk;
        bool ctrl;
        bool cursor;
        K::Kind kind;
        int value, dx, dy;
    } cases[] = {
        {kTab, false, false, K::KeyboardCursorOn, 0, 0, 0},
        {kTab, false, true, K::KeyboardCursorOff, 0, 0, 0},
        {kPrior, false, false, K::VerticalPosition, 21, 0, 0},
        {kNext, false, false, K::VerticalPosition, 59, 0, 0},
        {kUp, false, false, K::VerticalPosition, 39, 0, 0},
        {kDown, false, false, K::VerticalPosition, 41, 0, 0},
        {kHome, false, false, K::HorizontalPosition, 1, 0, 0},
        {kEnd, false, false, K::HorizontalPosition, 101, 0, 0},
        {kLeft, false, false, K::HorizontalPosition, 49, 0, 0},
        {kLeft, true, false, K::HorizontalPosition, 1, 0, 0},
        {kRight, true, false, K::HorizontalPosition, 101, 0, 0},
        {kPrior, false, true, K::CursorStep, 0, 0, 19},
        {kNext, false, true, K::CursorStep, 0, 0, -19},
        {kHome, false, true, K::CursorStep, 0, -200, 0},
        {kEnd, false, true, K::CursorStep, 0, 200, 0},
        {kLeft, true, true, K::CursorStep, 0, -99, 0},
        {kRight, false, true, K::CursorStep, 0, 1, 0},
        {kUp, false, true, K::CursorStep, 0, 0, 1},
        {kDown, false, true, K::CursorStep, 0, 0, -1},
        {kF3, false, false, K::SelectLevel, 2, 0, 0},
        {kF3, false, true, K::SelectLevel, 2, 0, 0},
        {kF3, true, false, K::None, 0, 0, 0},
    };
    for (const Case& c : cases) {
        KeyContext context = Context(c.cursor);
        context.keys.ctrl = c.ctrl;
        const KeyAction a = PictureInput::NavigationKey(c.vk, context);
        EXPECT_EQ(a.kind, c.kind) << c.vk << " " << c.ctrl << c.cursor;
        EXPECT_EQ(a.value, c.value) << c.vk;
        EXPECT_EQ(a.dx, c.dx) << c.vk;
        EXPECT_EQ(a.dy, c.dy) << c.vk;
    }
    // Scrolling keys do nothing in the temporary zoom, but are still taken.
    KeyContext zoomed = Context();
    zoomed.temporaryZoom = true;
    EXPECT_EQ(PictureInput::NavigationKey(kRight, zoomed).kind, KeyAction::Nothing);
}

TEST(PictureInput, TypedKeys)
{
    using K = KeyAction;
    KeyContext c = Context();
    c.cellWidth = 4;
    EXPECT_EQ(PictureInput::TypedKey(U'+', c).kind, K::Nothing);  // no zoom bar
    c.zoomSteps = 16;
    EXPECT_EQ(PictureInput::TypedKey(U'+', c).value, 5);
    c.cellWidth = 16;
    EXPECT_EQ(PictureInput::TypedKey(U'+', c).kind, K::Nothing);
    EXPECT_EQ(PictureInput::TypedKey(U'-', c).value, 15);
    c.cellWidth = 1;
    EXPECT_EQ(PictureInput::TypedKey(U'-', c).kind, K::Nothing);
    EXPECT_EQ(PictureInput::TypedKey(U'7', c).value, 7);
    EXPECT_EQ(PictureInput::TypedKey(U'0', c).kind, K::None);
    EXPECT_EQ(PictureInput::TypedKey(U'\r', c).kind, K::Nothing);
    EXPECT_EQ(PictureInput::TypedKey(U'\x1b', c).kind, K::Close);
    c.closeAllowed = false;
    EXPECT_EQ(PictureInput::TypedKey(U'\x1b', c).kind, K::Nothing);
    EXPECT_EQ(PictureInput::TypedKey(U' ', c).kind, K::Nothing);  // no temporary zoom size
    c.temporaryZoomCellSize = 7;
    EXPECT_EQ(PictureInput::TypedKey(U' ', c).kind, K::TemporaryZoomOn);
    c.temporaryZoom = true;
    EXPECT_EQ(PictureInput::TypedKey(U' ', c).kind, K::TemporaryZoomOff);
    EXPECT_EQ(PictureInput::TypedKey(U'5', c).kind, K::Nothing);
    c.keyboardCursor = true;
    EXPECT_EQ(PictureInput::TypedKey(U'\r', c).kind, K::ToggleButton);
    EXPECT_EQ(PictureInput::TypedKey(U'\x1b', c).kind, K::KeyboardCursorOff);
}

TEST(PictureInput, WheelTakesTheSmallestDeltaAsOneNotch)
{
    uint16_t divisor = 65534;
    EXPECT_EQ(PictureInput::WheelStep(divisor, 120, {}, 199, 1), 66);
    EXPECT_EQ(PictureInput::WheelStep(divisor, -120, {}, 199, 1), -66);
    EXPECT_EQ(divisor, 120);
    // A zero delta (a horizontal wheel) neither scrolls nor spoils the divisor.
    EXPECT_EQ(PictureInput::WheelStep(divisor, 0, {}, 199, 1), 0);
    EXPECT_EQ(divisor, 120);
    EXPECT_EQ(PictureInput::WheelStep(divisor, 40, {}, 199, 1), 66);
    EXPECT_EQ(PictureInput::WheelStep(divisor, 120, {}, 199, 1), 198);
    EXPECT_EQ(PictureInput::WheelStep(divisor, 120, {true, false, false}, 199, 1), 597);
    EXPECT_EQ(PictureInput::WheelStep(divisor, 120, {false, true, false}, 199, 1), 3);
    EXPECT_EQ(PictureInput::WheelStep(divisor, 120, {true, true, false}, 2, 1), 3);
}

TEST(PictureInput, FollowKeepsOneCellOfMargin)
{
    PictureGeometry g;
    g.pictureWidth = 200;
    g.pictureHeight = 100;
    g.boxWidth = 50;
    g.boxHeight = 20;
    g.Update();
    const ScrollRange h = g.HorizontalRange();
    // The cursor on the top row of the view: the row above it comes in.
    int first = g.FirstRowAt(81);
    auto f = PictureInput::FollowCursor(10, first + 19, 1, 50, h, first, g);
    EXPECT_EQ(f.horizontal, -1);
    EXPECT_EQ(g.FirstRowAt(f.vertical) + g.visibleRows - 1, first + 20);
    // On the lowest row: the row below it comes in.
    first = 50;
    f = PictureInput::FollowCursor(10, 50, 1, 50, h, first, g);
    EXPECT_EQ(g.FirstRowAt(f.vertical), 49);
    f = PictureInput::FollowCursor(49, 60, 1, 50, h, first, g);
    EXPECT_EQ(f.horizontal, 1);
    f = PictureInput::FollowCursor(50, 60, 1, 50, h, first, g);
    EXPECT_EQ(f.horizontal, 2);
    EXPECT_EQ(PictureInput::CentredFirstColumn(150, 50, h), 125);
    EXPECT_EQ(PictureInput::CentredFirstColumn(10, 50, h), 1);
    EXPECT_EQ(PictureInput::CentredFirstColumn(199, 50, h), 151);
}

}  // namespace
