#pragma once
// Tool 2: sprays dots around the cell whenever the held button moves to
// another cell, and once more on release.
#include "pattern/paint/paint_tool.h"

class SprayTool : public PaintTool {
protected:
    void Press(PaintCore& core, const CellInput& in) override;
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;

private:
    int32_t lastX_ = 0;
    int32_t lastY_ = 0;
};
