#pragma once
// Tools 14, 15 and 16: a straight line from the pressed cell, snapped to the
// slope settings; the polyline and the polygon go on from each segment's end
// (phase 3), each further segment its own undo step. Ctrl with the left
// button closes the polygon at its first point.
#include "pattern/paint/paint_tool.h"

class LineTool : public PaintTool {
public:
    enum class Kind { Line, Polyline, Polygon };
    explicit LineTool(Kind kind) : kind_(kind) {}

    void Event(PaintCore& core, const CellInput& in) override;
    uint8_t AbandonedPhase(uint8_t phase) const override;

protected:
    void Press(PaintCore& core, const CellInput& in) override;
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;

private:
    void Segment(PaintCore& core, int32_t x, int32_t y);

    Kind kind_;
};
