#include "picture/core/zoom_bar_layout.h"

#include <algorithm>

ZoomBarLayout ZoomBarLayout::For(int32_t barWidth, int32_t barHeight, int32_t steps)
{
    ZoomBarLayout layout;
    if (steps <= 0)
        return layout;
    barHeight = std::max(0, barHeight);
    // A bar shorter than it is wide still shows one panel.
    const int32_t fit = barWidth > 0 ? barHeight / barWidth : steps;
    layout.visibleSteps = std::clamp(fit, 1, steps);
    layout.panelHeight = barHeight / layout.visibleSteps;
    for (int32_t i = 0; i < steps; ++i) {
        const int32_t top = layout.panelHeight * i;
        layout.panels.push_back({top, layout.panelHeight, top + layout.panelHeight <= barHeight && i < layout.visibleSteps});
    }
    return layout;
}
