#pragma once
// Tools 20 and 21: while chosen, the colour panels toggle the protect or
// transparent flags; the picture takes no input.
#include "pattern/paint/paint_tool.h"

class FlagTool : public PaintTool {
public:
    void Event(PaintCore&, const CellInput&) override {}
};
