#include "pattern/paint/spray_tool.h"

#include "pattern/paint/area_tools.h"
#include "pattern/paint/paint_core.h"

void SprayTool::Press(PaintCore&, const CellInput& in)
{
    lastX_ = in.x;
    lastY_ = in.y;
}

void SprayTool::Move(PaintCore& core, const CellInput& in)
{
    if (in.x == lastX_ && in.y == lastY_)
        return;
    lastX_ = in.x;
    lastY_ = in.y;
    SprayDots(core, in.x, in.y);
}

void SprayTool::Release(PaintCore& core, const CellInput& in)
{
    SprayDots(core, in.x, in.y);
}
