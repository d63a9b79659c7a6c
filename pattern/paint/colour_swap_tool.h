#pragma once
// Tool 7: in the dragged rectangle the background colour is painted over
// with the foreground colour (left button), or the two are exchanged
// (right button).
#include "pattern/paint/paint_tool.h"

class ColourSwapTool : public PaintTool {
protected:
    void Press(PaintCore& core, const CellInput& in) override;
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;
    bool KeepsButton() const override { return true; }
};
