#include "pattern/paint/pipette_tool.h"

#include "pattern/paint/paint_core.h"

void PipetteTool::Event(PaintCore& core, const CellInput& in)
{
    uint8_t colour = 0;
    if (in.B == 0 || !core.CurrentCell(in.x, in.y, colour))
        return;
    core.P_SetzeFarbenInFarbauswahl(in.B == 2 ? MouseButton::Right : MouseButton::Left, colour + 1);
    core.ReturnToPreviousTool();
}
