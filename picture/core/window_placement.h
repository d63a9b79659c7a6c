#pragma once
// The placement string a window keeps in the INI section "Windows": 29
// characters, "X " then left, top, width and height right-aligned in six
// columns each and the monitor number in three.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The last n characters of text when it has n or more, else text itself.
std::string RightAlign(std::string_view text, size_t n);

struct PlacementInput {
    ScreenRect bounds;       // the form's Left, Top, width and height
    uint16_t monitor = 0;    // the monitor that holds the form
    int32_t monitorLeft = 0; // that monitor's left edge
    int32_t screenWidth = 0; // the primary screen's width
};

// The 29-character string; a number too long for its field keeps its last
// characters.
std::string PlacementText(const PlacementInput& form);

struct ParsedPlacement {
    // Width and height as stored, left and top kept 50 pixels inside the
    // primary screen; absent for an empty text or a malformed one.
    std::optional<ScreenRect> bounds;
    // From columns 28-29 only (blank reads 0).
    uint16_t monitor = 0;
    // A field that is not a number: the whole string is ignored.
    bool malformed = false;
};

ParsedPlacement ParsePlacement(std::string_view text, int32_t screenWidth, int32_t screenHeight);

// The index of the screen that holds most of the rectangle; 0 when none does.
uint16_t MonitorOf(const ScreenRect& form, const std::vector<ScreenRect>& screens);

// Where a form shown on a desktop wider than the primary screen (screens[0])
// goes: when the saved monitor exists and Left is still inside the primary
// screen, Left moves right by that monitor's left edge.
int32_t ShownLeft(int32_t left, uint16_t savedMonitor, const std::vector<ScreenRect>& screens,
                  int32_t desktopWidth);

// At the end of a move or resize on the first monitor, Left and Top are
// kept off the margins the window leaves free (SetMaxWidthMargin and
// SetMaxHeightMargin).
ScreenRect KeepOffMargins(ScreenRect form, uint16_t monitor, int32_t widthMargin, int32_t heightMargin);

// Where a tool window of the given size goes beside the palette: below it at
// its left edge, else to its right at its top, else below the palette but
// also below the picture window, else to the picture window's right: the
// first place that stays on the screen and leaves the picture window clear.
// When none does, below the palette, kept on the screen.
ScreenRect PlaceBesidePalette(const ScreenRect& palette, const ScreenRect& picture, int32_t width, int32_t height,
                              const ScreenRect& screen);
