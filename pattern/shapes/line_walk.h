#pragma once
// How the brush painters lay a line out and walk it: whole steps of the
// slope, the rows (or columns) of a flat (or steep) line sharing the
// columns (or rows) evenly, the leftover steps spread over chosen runs, and
// for slopes above 1 the gap legs that join the points of the walk.
#include <cstdint>

#include "pattern/shapes/cell_box.h"
#include "pattern/shapes/paint_state.h"

enum class StampKind { Walk, VerticalLeg, HorizontalLeg };

struct LinePoint {
    int64_t x = 0;
    int64_t y = 0;
};

class LineWalk {
public:
    // stepX, stepY: the walk's steps; slopeX, slopeY: the slope setting.
    // x1, y1 become the ends the line reaches on whole steps.
    LineWalk(int64_t x0, int64_t x1, int64_t y0, int64_t y1, int64_t stepX, int64_t stepY, int32_t slopeX,
             int32_t slopeY);

    int64_t ExtentX() const { return extent_[0]; }
    int64_t ExtentY() const { return extent_[1]; }
    LinePoint End() const { return {end_[0], end_[1]}; }
    // Flat lines walk the columns, steep ones the rows.
    bool Flat() const { return major_ == 0; }
    // The gate of a walk that stays in the box.
    bool MinorInside(const CellBox& box, int64_t minor) const
    {
        return major_ == 0 ? minor >= box.y1 && minor <= box.y2 : minor >= box.x1 && minor <= box.x2;
    }

    // Walks the line. gate(minor coordinate) tells whether the walk may go
    // on in that row (flat) or column (steep); the first refusal ends it.
    // stamp(x, y, kind) is called for every walk point and gap cell and
    // tells whether it stamped. The walk also ends once it and its last
    // point lie beyond `reach` in its direction, where nothing can be
    // stamped any more. Gives the last walk point stamped, or nothing (false).
    template <class Gate, class Stamp>
    bool Walk(const CellBox& reach, Gate gate, Stamp stamp, LinePoint& last) const;

private:
    // The columns (flat) or rows (steep) given to the minor coordinate's run.
    int64_t RunLength(int64_t minor) const;
    bool Chosen(int64_t m) const;
    bool Beyond(int64_t v, const CellBox& reach) const;
    template <class Stamp>
    void Legs(const int64_t prev[2], const int64_t cur[2], Stamp& stamp) const;

    int64_t start_[2];
    int64_t end_[2];
    int64_t step_[2];  // signed
    int64_t extent_[2];
    int64_t slope_[2];
    bool gaps_;
    int major_;  // 0: flat (walks columns), 1: steep (walks rows)
    int minor_;
    // Run table: n runs of `run`, the chosen ones `extra` longer, counted
    // from `lower`, one run every `stride` of the minor coordinate.
    int64_t n_ = 1;
    int64_t run_ = 0;
    int64_t rest_ = 0;
    double q_ = 0;
    int64_t lower_ = 0;
    int64_t stride_ = 1;
};

// The line the brush painters lay out from (x0, y0) towards (x1, y1) with
// the state's slopes and step byte.
LineWalk BrushLine(const PaintState& state, int64_t x0, int64_t x1, int64_t y0, int64_t y1);

template <class Gate, class Stamp>
bool LineWalk::Walk(const CellBox& reach, Gate gate, Stamp stamp, LinePoint& last) const
{
    const int a = major_;
    const int b = minor_;
    int64_t cur[2] = {start_[0], start_[1]};
    int64_t prev[2] = {cur[0], cur[1]};
    int64_t count = slope_[a];
    int64_t runOf = cur[b] - 1;  // the minor coordinate whose run length is cached
    int64_t length = 0;
    bool any = false;
    for (;;) {
        if (!gate(cur[b]))
            break;
        if (stamp(cur[0], cur[1], StampKind::Walk)) {
            last = {cur[0], cur[1]};
            any = true;
        }
        if (gaps_)
            Legs(prev, cur, stamp);
        prev[0] = cur[0];
        prev[1] = cur[1];
        count += slope_[a];
        if (cur[b] != end_[b]) {
            if (runOf != cur[b]) {
                runOf = cur[b];
                length = RunLength(cur[b]);
            }
            if (length < count) {
                count = slope_[a];
                cur[b] += step_[b];
            }
        }
        if (cur[a] == end_[a])
            break;
        cur[a] += step_[a];
        if (Beyond(cur[a], reach) && Beyond(prev[a], reach))
            break;
    }
    return any;
}

template <class Stamp>
void LineWalk::Legs(const int64_t prev[2], const int64_t cur[2], Stamp& stamp) const
{
    const int64_t ux = step_[0] < 0 ? -1 : 1;
    const int64_t uy = step_[1] < 0 ? -1 : 1;
    int64_t gx = prev[0];
    int64_t gy = prev[1];
    if (ux > 0) {
        for (; gy != cur[1]; gy += uy)
            stamp(gx, gy, StampKind::VerticalLeg);
        for (; gx != cur[0]; gx += ux)
            stamp(gx, gy, StampKind::HorizontalLeg);
    } else {
        for (; gx != cur[0]; gx += ux)
            stamp(gx, gy, StampKind::HorizontalLeg);
        for (; gy != cur[1]; gy += uy)
            stamp(gx, gy, StampKind::VerticalLeg);
    }
}
