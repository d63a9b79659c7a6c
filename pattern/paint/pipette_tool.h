#pragma once
// Tool 19: any button takes the colour under the cursor (right: as the
// background colour) and gives the previous tool back.
#include "pattern/paint/paint_tool.h"

class PipetteTool : public PaintTool {
public:
    void Event(PaintCore& core, const CellInput& in) override;
};
