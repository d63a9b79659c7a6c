#pragma once
// Tool 22: fills the region around the pressed cell; the right button
// paints with the colour even when the motif is the foreground.
#include "pattern/paint/paint_tool.h"

class FillTool : public PaintTool {
protected:
    void Release(PaintCore& core, const CellInput& in) override;
    bool KeepsButton() const override { return true; }
};
