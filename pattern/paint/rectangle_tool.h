#pragma once
// Tools 5 and 6: the rectangle's outline drawn with the brush, or the
// rectangle filled.
#include "pattern/paint/paint_tool.h"

class RectangleTool : public PaintTool {
public:
    explicit RectangleTool(bool filled) : filled_(filled) {}

protected:
    void Move(PaintCore& core, const CellInput& in) override;
    void Release(PaintCore& core, const CellInput& in) override;

private:
    void Frame(PaintCore& core, const CellInput& in);
    void Fill(PaintCore& core, const CellInput& in);

    bool filled_;
};
