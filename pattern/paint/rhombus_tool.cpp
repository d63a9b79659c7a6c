#include "pattern/paint/rhombus_tool.h"

#include "pattern/paint/paint_core.h"
#include "pattern/shapes/rhombus.h"

void RhombusTool::Move(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    core.View().ClearFeedback();
    DrawPolygon(core, s, 1, s.anchorX, in.x, s.anchorY, in.y);
}

void RhombusTool::Release(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    DrawRhombus(core, s, true, s.anchorX, in.x, s.anchorY, in.y);
    core.RedrawChanged(1, 1, s.width, s.height);
}
