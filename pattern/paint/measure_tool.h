#pragma once
// Tool 30: the ruler. Shows the size of the dragged rectangle and changes
// nothing.
#include "pattern/paint/paint_tool.h"

class MeasureTool : public PaintTool {
public:
    void Event(PaintCore& core, const CellInput& in) override;
    uint8_t AbandonedPhase(uint8_t) const override { return 0; }
};
