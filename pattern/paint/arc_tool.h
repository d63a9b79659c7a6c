#pragma once
// Tool 9: the arc in three stages: drag the chord, then drag the bulge.
#include "pattern/paint/paint_tool.h"

class ArcTool : public PaintTool {
public:
    void Event(PaintCore& core, const CellInput& in) override;
};
