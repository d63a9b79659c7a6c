#pragma once
// Tools 25 to 29: the motif follows the mouse and is set down where the
// button is released. 25 snaps to the grid of the motif's size, 26 moves
// the motif (it is cut out first), 27 and 28 copy it, 29 pastes the work
// bitmap. Tool 28, and 27 with the right button, set it down repeatedly by
// the step of the last placement.
#include "pattern/paint/paint_tool.h"

class PaintCore;
struct MotifImage;

class MotifPlaceTool : public PaintTool {
public:
    void Event(PaintCore& core, const CellInput& in) override;
    uint8_t AbandonedPhase(uint8_t phase) const override { return phase == 1 ? 2 : phase; }

private:
    void Start(PaintCore& core);
    void Follow(PaintCore& core, const CellInput& in);
    void SetDown(PaintCore& core, const CellInput& in);
    // Places the motif with its lower left cell at (x1, y1), cut to the
    // picture; false when nothing of it is inside, or with whole when a
    // part is outside.
    bool PlaceAt(PaintCore& core, const MotifImage& motif, int32_t x1, int32_t y1, bool whole);
};
