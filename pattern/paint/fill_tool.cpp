#include "pattern/paint/fill_tool.h"

#include "pattern/paint/paint_core.h"
#include "pattern/shapes/flood_fill.h"

void FillTool::Release(PaintCore& core, const CellInput&)
{
    int32_t lowest = 0;
    FloodFill(core, core.State(), false, core.ButtonFlag() != 0, lowest);
}
