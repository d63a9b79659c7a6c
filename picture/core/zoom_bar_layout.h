#pragma once
// The step panels of a zoom bar: as many as fit the bar one above the other
// (square at most), at least one, and no more than there are steps.
#include <cstdint>
#include <vector>

struct ZoomPanelPlace {
    int32_t top = 0;
    int32_t height = 0;
    bool visible = false;
};

struct ZoomBarLayout {
    int32_t visibleSteps = 0;
    int32_t panelHeight = 0;
    std::vector<ZoomPanelPlace> panels;

    // steps panels in a bar of the given size; none without steps.
    static ZoomBarLayout For(int32_t barWidth, int32_t barHeight, int32_t steps);
};
