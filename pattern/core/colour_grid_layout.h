#pragma once
// Where the colour window puts its panels: one per colour in rows of up to
// twelve, fewer on a narrow screen, six when twelve would reach too close to
// the screen's bottom; and as many motif panels, at least 40 with few colours.
#include <cstdint>

#include "picture/core/window_placement.h"

struct ColourGridInput {
    int32_t count = 0;  // colour panels
    int32_t panelWidth = 0;
    int32_t panelHeight = 0;
    ScreenRect screen;       // the screen's available area
    int32_t windowTop = 0;   // the window's top on the screen
    // What the window adds above and below the grid: frame, tab bar, margins.
    int32_t chromeHeight = 0;
};

struct PanelPosition {
    int32_t left = 0;
    int32_t top = 0;
    bool operator==(const PanelPosition&) const = default;
};

struct ColourGridLayout {
    static constexpr int32_t kWideColumns = 12;
    static constexpr int32_t kNarrowColumns = 8;
    static constexpr int32_t kShortColumns = 6;
    static constexpr int32_t kNarrowScreen = 769;  // screens narrower than this
    static constexpr int32_t kBottomGap = 30;

    int32_t columns = 1;
    int32_t rows = 0;
    int32_t motifCount = 0;
    int32_t motifRows = 0;
    int32_t panelWidth = 0;
    int32_t panelHeight = 0;

    // Panel i (from 1) of either page: row (i - 1) div columns, column
    // (i - 1) mod columns.
    PanelPosition Position(int32_t i) const;
    int32_t GridWidth() const { return columns * panelWidth; }
    int32_t GridHeight() const { return rows * panelHeight; }
};

// The colour count, or 40 with fewer than 12 colours.
int32_t MotifPanelCount(int32_t colourCount);

ColourGridLayout LayOutColourGrid(const ColourGridInput& in);
