#pragma once
// Tool 31: the typed text, drawn in the chosen font, is the motif. A click
// sets where it goes; dragging moves it; every key typed draws it anew.
#include "pattern/paint/paint_tool.h"

class TextTool : public PaintTool {
public:
    void Event(PaintCore& core, const CellInput& in) override;
    uint8_t AbandonedPhase(uint8_t phase) const override { return phase == 1 ? 2 : phase; }
};
