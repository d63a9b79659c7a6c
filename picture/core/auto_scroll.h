#pragma once
// Edge auto-scrolling while a mouse button is held: a pointer that stays in
// the 35-pixel band along a paint box's edges for 1001 ms starts scrolling,
// and each 50-ms tick then scrolls one small change further than the last,
// up to the maximum step count. Times come from a monotonic clock.
#include <cstdint>

class AutoScroll {
public:
    static constexpr int32_t kBand = 35;
    static constexpr int64_t kDelayMs = 1001;

    struct Pointer {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };
    // Small changes to scroll this tick: dx > 0 to the right, dy > 0 to
    // higher rows (the vertical position goes down by dy).
    struct Step {
        int32_t dx = 0;
        int32_t dy = 0;
    };

    // One tick with the pointer inside the paint box. active: auto-scroll is
    // enabled and a button is held; blocked: the keyboard cursor or the
    // temporary zoom stops the scrolling but not the clock.
    Step Tick(int64_t nowMs, const Pointer& p, bool active, bool blocked);
    // The button went up or the pointer left: back to idle.
    void Reset();

    bool Idle() const { return state_ == State::Idle; }
    bool Running() const { return state_ == State::Running; }
    uint8_t maxSteps = 10;

private:
    enum class State { Idle, Waiting, Running };
    static int32_t Advance(bool low, bool high, uint8_t& count, uint8_t max);

    State state_ = State::Idle;
    int64_t start_ = 0;
    uint8_t stepX_ = 1;
    uint8_t stepY_ = 1;
};
