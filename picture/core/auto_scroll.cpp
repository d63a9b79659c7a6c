#include "picture/core/auto_scroll.h"

void AutoScroll::Reset()
{
    state_ = State::Idle;
}

int32_t AutoScroll::Advance(bool low, bool high, uint8_t& count, uint8_t max)
{
    if (!low && !high) {
        count = 1;
        return 0;
    }
    const int32_t step = count;
    if (count < max)
        ++count;
    return low ? -step : step;
}

AutoScroll::Step AutoScroll::Tick(int64_t nowMs, const Pointer& p, bool active, bool blocked)
{
    if (!active) {
        Reset();
        return {};
    }
    const bool left = p.x < kBand;
    const bool right = p.x >= p.width - kBand;
    const bool bottom = p.y >= p.height - kBand;
    const bool top = p.y < kBand;
    if (!left && !right && !top && !bottom) {
        Reset();
        return {};
    }
    if (state_ == State::Idle) {
        state_ = State::Waiting;
        start_ = nowMs;
        return {};
    }
    if (state_ == State::Waiting) {
        if (nowMs - start_ < kDelayMs)
            return {};
        state_ = State::Running;
        stepX_ = stepY_ = 1;
    }
    if (blocked)
        return {};
    Step s;
    s.dx = Advance(left, right, stepX_, maxSteps);
    // The top band scrolls to higher rows.
    s.dy = -Advance(top, bottom, stepY_, maxSteps);
    return s;
}
