#pragma once
// One tool family of the mouse tool machine. The base runs the scheme that
// most drag tools share:
//   phase 0, no button: the history starts afresh, phase 2;
//   phase 2, a button:  a new undo step, the anchor, the paint colour by
//                       the button, phase 1, then Press;
//   phase 1, a button:  Move (the preview);
//   phase 1, released:  the feedback goes, Release paints under the
//                       hourglass, phase 2;
//   otherwise:          Idle.
// Tools with stages of their own override Event.
#include <cstdint>

#include "pattern/paint/cell_input.h"

class PaintCore;

class PaintTool {
public:
    virtual ~PaintTool() = default;

    virtual void Event(PaintCore& core, const CellInput& in);
    // The phase after a zoom pick abandons a running drag.
    virtual uint8_t AbandonedPhase(uint8_t phase) const { return phase == 1 ? 2 : phase; }

protected:
    virtual void Press(PaintCore&, const CellInput&) {}
    virtual void Move(PaintCore&, const CellInput&) {}
    virtual void Release(PaintCore&, const CellInput&) {}
    virtual void Idle(PaintCore&, const CellInput&) {}
    // Tools that tell the buttons apart keep which one began the drag.
    virtual bool KeepsButton() const { return false; }

    // The common press and release, for tools that override Event.
    void BeginDrag(PaintCore& core, const CellInput& in);
    // The marking and measuring drags: a frame from the cell, its size in
    // the cell hint and the status bar.
    void BeginFrameDrag(PaintCore& core, const CellInput& in);
    void ShowFrameDrag(PaintCore& core, const CellInput& in);
    void EndDrag(PaintCore& core, const CellInput& in, uint8_t nextPhase);
};
