#pragma once
// Tool 17: the rhombus dragged right and up from its bottom point.
#include "pattern/paint/paint_tool.h"

class RhombusTool : public PaintTool {
protected:
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;
};
