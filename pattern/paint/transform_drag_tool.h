#pragma once
// Tools 32 to 37, chosen from the Edit menu: the motif is stretched (34
// both ways, 35 in height, 36 in width), sheared (32 sideways, 33 up and
// down) or turned (37) by a drag, starting again from its untouched copy.
// The release gives the tool before back.
#include <array>

#include "pattern/paint/motif_block.h"
#include "pattern/paint/paint_tool.h"

struct MotifImage;

class TransformDragTool : public PaintTool {
public:
    void Event(PaintCore& core, const CellInput& in) override;
    uint8_t AbandonedPhase(uint8_t) const override { return 0; }

private:
    void Press(PaintCore& core, const CellInput& in) override;
    void Drag(PaintCore& core, const CellInput& in);
    void Finish(PaintCore& core, const CellInput& in);
    // The drag end as the tool lets it move.
    void HeldEnd(PaintCore& core, const CellInput& in, int32_t& x, int32_t& y) const;
    // The result from the untouched copy and where it lies; false without one.
    bool Result(PaintCore& core, int32_t x, int32_t y, MotifImage& result, MotifBlock& where) const;
    // The turned motif's four corners, for the feedback.
    std::array<int32_t, 8> TurnedCorners(double degrees) const;

    MotifBlock saved_{};
    int32_t pressX_ = 0;
    int32_t pressY_ = 0;
};
