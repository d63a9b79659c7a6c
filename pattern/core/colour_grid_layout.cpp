#include "pattern/core/colour_grid_layout.h"

#include <algorithm>

namespace {

constexpr int32_t kFewColours = 12;
constexpr int32_t kMotifsWithFewColours = 40;

int32_t RowsFor(int32_t count, int32_t columns)
{
    return (count + columns - 1) / columns;
}

}  // namespace

int32_t MotifPanelCount(int32_t colourCount)
{
    return colourCount < kFewColours ? kMotifsWithFewColours : colourCount;
}

PanelPosition ColourGridLayout::Position(int32_t i) const
{
    return {((i - 1) % columns) * panelWidth, ((i - 1) / columns) * panelHeight};
}

ColourGridLayout LayOutColourGrid(const ColourGridInput& in)
{
    ColourGridLayout g;
    g.panelWidth = in.panelWidth;
    g.panelHeight = in.panelHeight;
    const int32_t count = std::max(in.count, 0);
    const int32_t widest =
        in.screen.width < ColourGridLayout::kNarrowScreen ? ColourGridLayout::kNarrowColumns : ColourGridLayout::kWideColumns;
    g.columns = std::max(1, std::min(count, widest));
    const int32_t bottom = in.windowTop + in.chromeHeight + RowsFor(count, g.columns) * in.panelHeight;
    if (bottom > in.screen.top + in.screen.height - ColourGridLayout::kBottomGap)
        g.columns = std::max(1, std::min(count, ColourGridLayout::kShortColumns));
    g.rows = RowsFor(count, g.columns);
    g.motifCount = MotifPanelCount(count);
    g.motifRows = RowsFor(g.motifCount, g.columns);
    return g;
}
