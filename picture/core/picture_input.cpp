#include "picture/core/picture_input.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Windows virtual-key numbers of the keys in the tables (the widget maps Qt
// keys to them through platform/qt/vkeys.h; the core stays free of Qt).
constexpr int VK_TAB = 9;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_F1 = 112;
constexpr int VK_F12 = 123;

bool IsFKey(int vk)
{
    return vk >= VK_F1 && vk <= VK_F12;
}

bool IsMovementKey(int vk)
{
    return vk == VK_TAB || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_HOME || vk == VK_END || vk == VK_LEFT ||
           vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN;
}

KeyAction Action(KeyAction::Kind kind, int32_t value = 0)
{
    KeyAction a;
    a.kind = kind;
    a.value = value;
    return a;
}

KeyAction Step(int32_t dx, int32_t dy)
{
    KeyAction a;
    a.kind = KeyAction::CursorStep;
    a.dx = dx;
    a.dy = dy;
    return a;
}

KeyAction CursorKey(int vk, const KeyContext& c)
{
    const int32_t large = c.vertical.largeChange;
    switch (vk) {
    case VK_TAB: return Action(KeyAction::KeyboardCursorOff);
    case VK_PRIOR: return Step(0, large);
    case VK_NEXT: return Step(0, -large);
    case VK_HOME: return Step(-c.pictureWidth, 0);
    case VK_END: return Step(c.pictureWidth, 0);
    case VK_LEFT: return Step(c.keys.ctrl ? -c.horizontal.largeChange : -1, 0);
    case VK_RIGHT: return Step(c.keys.ctrl ? c.horizontal.largeChange : 1, 0);
    case VK_UP: return Step(0, 1);
    default: return Step(0, -1);
    }
}

KeyAction ScrollKey(int vk, const KeyContext& c)
{
    if (vk == VK_TAB)
        return Action(KeyAction::KeyboardCursorOn);
    if (c.temporaryZoom)
        return Action(KeyAction::Nothing);
    const auto vertical = [&](int32_t p) { return Action(KeyAction::VerticalPosition, c.vertical.Clamp(p)); };
    const auto horizontal = [&](int32_t p) { return Action(KeyAction::HorizontalPosition, c.horizontal.Clamp(p)); };
    const int32_t hStep = c.keys.ctrl ? c.horizontal.largeChange : c.horizontalSmallChange;
    switch (vk) {
    case VK_PRIOR: return vertical(c.verticalPosition - c.vertical.largeChange);
    case VK_NEXT: return vertical(c.verticalPosition + c.vertical.largeChange);
    case VK_HOME: return horizontal(c.horizontal.minimum);
    case VK_END: return horizontal(c.horizontal.maximum);
    case VK_LEFT: return horizontal(c.horizontalPosition - hStep);
    case VK_RIGHT: return horizontal(c.horizontalPosition + hStep);
    case VK_UP: return vertical(c.verticalPosition - c.verticalSmallChange);
    default: return vertical(c.verticalPosition + c.verticalSmallChange);
    }
}

}  // namespace

bool PictureInput::ClaimsNavigationKey(int vk, KeyState keys)
{
    if (IsMovementKey(vk))
        return true;
    return IsFKey(vk) && !keys.ctrl && !keys.shift && !keys.alt;
}

KeyAction PictureInput::NavigationKey(int vk, const KeyContext& c)
{
    if (!ClaimsNavigationKey(vk, c.keys))
        return {};
    if (IsFKey(vk))
        return Action(KeyAction::SelectLevel, vk - VK_F1);
    return c.keyboardCursor ? CursorKey(vk, c) : ScrollKey(vk, c);
}

KeyAction PictureInput::TypedKey(char32_t key, const KeyContext& c)
{
    switch (key) {
    case U'+':
        if (c.cellWidth < c.zoomSteps && !c.temporaryZoom)
            return Action(KeyAction::CellSize, c.cellWidth + 1);
        return Action(KeyAction::Nothing);
    case U'-':
        if (c.cellWidth >= 2 && !c.temporaryZoom)
            return Action(KeyAction::CellSize, c.cellWidth - 1);
        return Action(KeyAction::Nothing);
    case U'\r':
        return Action(c.keyboardCursor ? KeyAction::ToggleButton : KeyAction::Nothing);
    case U'\x1b':
        if (c.keyboardCursor)
            return Action(KeyAction::KeyboardCursorOff);
        return Action(c.closeAllowed ? KeyAction::Close : KeyAction::Nothing);
    case U' ':
        if (!c.temporaryZoom && c.temporaryZoomCellSize > 1)
            return Action(KeyAction::TemporaryZoomOn);
        return Action(c.temporaryZoom ? KeyAction::TemporaryZoomOff : KeyAction::Nothing);
    default:
        if (key >= U'1' && key <= U'9')
            return Action(c.temporaryZoom ? KeyAction::Nothing : KeyAction::CellSize, static_cast<int32_t>(key - U'0'));
        return {};
    }
}

int32_t PictureInput::WheelStep(uint16_t& divisor, int32_t delta, KeyState keys, int32_t largeChange,
                                int32_t smallChange)
{
    if (delta == 0)
        return 0;
    const int32_t size = std::min<int32_t>(std::abs(delta), 65535);
    divisor = static_cast<uint16_t>(std::max(1, std::min<int32_t>(divisor, size)));
    const int32_t d = delta / divisor;
    if (keys.ctrl && !keys.shift && !keys.alt)
        return d * largeChange;
    if (keys.shift && !keys.ctrl && !keys.alt)
        return d * smallChange;
    return d * std::max(1, largeChange / 3);
}

PictureInput::Follow PictureInput::FollowCursor(int32_t x, int32_t y, int32_t firstColumn, int32_t visibleColumns,
                                                const ScrollRange& horizontal, int32_t firstRow,
                                                const PictureGeometry& g)
{
    Follow f;
    if (x >= firstColumn + visibleColumns - 2)
        f.horizontal = std::min(horizontal.maximum, x - visibleColumns + 2);
    else if (x <= firstColumn)
        f.horizontal = std::max(horizontal.minimum, x - 1);
    const ScrollRange vertical = g.VerticalRange();
    // Positions that put the cursor one row inside the top or bottom edge.
    if (y - firstRow + 1 >= g.visibleRows)
        f.vertical = std::max(vertical.minimum, g.pictureHeight - y);
    else if (y <= firstRow)
        f.vertical = std::min(vertical.maximum, g.pictureHeight - y - g.visibleRows + 3);
    if (f.horizontal != -1)
        f.horizontal = horizontal.Clamp(f.horizontal);
    if (f.vertical != -1)
        f.vertical = vertical.Clamp(f.vertical);
    return f;
}

int32_t PictureInput::CentredFirstColumn(int32_t x, int32_t visibleColumns, const ScrollRange& horizontal)
{
    if (!horizontal.enabled)
        return 1;
    return horizontal.Clamp(x - visibleColumns / 2);
}
