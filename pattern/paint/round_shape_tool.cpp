#include "pattern/paint/round_shape_tool.h"

#include "pattern/paint/paint_core.h"
#include "pattern/shapes/ellipse_circles.h"

void RoundShapeTool::Move(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    core.View().ClearFeedback();
    if (shape_ == Shape::CircleFrame || shape_ == Shape::CircleFilled)
        DrawCirclePreview(core, s, s.anchorX, s.anchorY, in.x, in.y);
    else
        DrawEllipse(core, s, shape_ == Shape::EllipseFilled, true, s.anchorX, s.anchorY, in.x, in.y);
}

void RoundShapeTool::Release(PaintCore& core, const CellInput& in)
{
    PaintState& s = core.State();
    switch (shape_) {
    case Shape::CircleFrame:
        DrawCircleFrame(core, s, s.anchorX, s.anchorY, in.x, in.y);
        break;
    case Shape::CircleFilled:
        DrawCircleFilled(core, s, s.anchorX, s.anchorY, in.x, in.y);
        break;
    case Shape::EllipseFrame:
    case Shape::EllipseFilled:
        DrawEllipse(core, s, shape_ == Shape::EllipseFilled, false, s.anchorX, s.anchorY, in.x, in.y);
        break;
    }
}
