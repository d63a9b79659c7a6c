#pragma once
// The input rules of a picture window, apart from any widget: the wheel, the
// navigation keys (by Windows virtual-key number), the typed keys, the view
// following the keyboard cursor and the centring on a cell.
#include <cstdint>

#include "picture/core/picture_geometry.h"

struct KeyState {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// What a navigation or typed key asks the window to do.
struct KeyAction {
    enum Kind {
        None,             // not the window's key
        Nothing,          // the window's key, but nothing to do now
        KeyboardCursorOn,
        KeyboardCursorOff,
        VerticalPosition,    // value: the new position of the vertical bar
        HorizontalPosition,  // value: the widest pane's new position
        CursorStep,          // dx, dy: a keyboard step of the cell cursor
        SelectLevel,         // value: the 0-based level
        CellSize,            // value: the new cell size
        ToggleButton,
        Close,
        TemporaryZoomOn,
        TemporaryZoomOff,
    };
    Kind kind = None;
    int32_t value = 0;
    int32_t dx = 0;
    int32_t dy = 0;
};

// The window's state the keys act on.
struct KeyContext {
    KeyState keys;
    bool keyboardCursor = false;
    bool temporaryZoom = false;
    int32_t pictureWidth = 1;
    ScrollRange vertical;
    int32_t verticalPosition = 1;
    int32_t verticalSmallChange = 1;
    // The widest pane's bar.
    ScrollRange horizontal;
    int32_t horizontalPosition = 1;
    int32_t horizontalSmallChange = 1;
    // For typed keys.
    uint8_t cellWidth = 1;
    uint8_t zoomSteps = 0;
    uint8_t temporaryZoomCellSize = 0;
    bool closeAllowed = true;
};

class PictureInput {
public:
    // True for the keys the window takes before menus and focus moves: Tab,
    // Backtab, Page Up/Down, Home, End, the arrows (with any modifiers) and
    // F1 to F12 without modifiers.
    static bool ClaimsNavigationKey(int virtualKey, KeyState keys);
    // The navigation table (Tab, Page Up/Down, Home, End, arrows, F keys).
    static KeyAction NavigationKey(int virtualKey, const KeyContext& context);
    // The typed-key table ("+", "-", digits, Enter, Esc, Space).
    static KeyAction TypedKey(char32_t key, const KeyContext& context);

    // The scroll step of one wheel event (positive: toward higher rows, the
    // position goes down by it). The smallest delta seen becomes one notch;
    // a delta of 0 does nothing and is not remembered.
    static int32_t WheelStep(uint16_t& divisor, int32_t delta, KeyState keys, int32_t largeChange,
                             int32_t smallChange);

    // The bar positions that keep the keyboard cursor (x, y) in view with a
    // margin of one cell; -1 where the bar stays.
    struct Follow {
        int32_t horizontal = -1;
        int32_t vertical = -1;
    };
    static Follow FollowCursor(int32_t x, int32_t y, int32_t firstColumn, int32_t visibleColumns,
                               const ScrollRange& horizontal, int32_t firstRow, const PictureGeometry& geometry);

    // The first column that centres column x in the view (1 when the bar is off).
    static int32_t CentredFirstColumn(int32_t x, int32_t visibleColumns, const ScrollRange& horizontal);
};
