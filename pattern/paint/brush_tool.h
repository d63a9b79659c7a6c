#pragma once
// Tool 1: free-hand lines with the square brush, following the mouse.
#include "pattern/paint/paint_tool.h"

class BrushTool : public PaintTool {
protected:
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;
};
