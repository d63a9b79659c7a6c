#pragma once
// Tools 8, 23 and 24: a frame is dragged and the release hands the
// rectangle to the motif swap, the outline or the insert/delete routine.
#include "pattern/paint/paint_tool.h"

class AreaTool : public PaintTool {
public:
    enum class Kind { MotifSwap, Outline, InsertDelete };
    explicit AreaTool(Kind kind) : kind_(kind) {}

protected:
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;
    bool KeepsButton() const override { return true; }

private:
    Kind kind_;
};
