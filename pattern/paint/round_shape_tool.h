#pragma once
// Tools 10 to 13: the circle around the pressed cell (outline or filled)
// and the ellipse in the dragged rectangle (outline or filled). The shape
// routines redraw what they paint.
#include "pattern/paint/paint_tool.h"

class RoundShapeTool : public PaintTool {
public:
    enum class Shape { CircleFrame, CircleFilled, EllipseFrame, EllipseFilled };
    explicit RoundShapeTool(Shape shape) : shape_(shape) {}

protected:
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;

private:
    Shape shape_;
};
