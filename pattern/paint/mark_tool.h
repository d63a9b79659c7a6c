#pragma once
// Tool 4: marks the motif rectangle by a drag (Ctrl: over every included
// level). The previous tool comes back when the drag ends.
#include "pattern/paint/paint_tool.h"

class MarkTool : public PaintTool {
public:
    void Event(PaintCore& core, const CellInput& in) override;
    uint8_t AbandonedPhase(uint8_t phase) const override { return phase; }
};
