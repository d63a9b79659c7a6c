#pragma once
// Long jobs are shown at the display's pace, not at their own: between two
// frames a stroke or a row only counts, and the window redraws and looks at
// its keys and buttons once a frame.
#include <cstdint>
#include <functional>

class FramePace {
public:
    // About one screen refresh.
    static constexpr int64_t kFrameMs = 16;
    // Milliseconds of a monotonic clock.
    using Clock = std::function<int64_t()>;

    explicit FramePace(Clock clock = SteadyMilliseconds);

    // True on the first call after a reset and whenever a frame has passed
    // since the last true.
    bool Due();
    // The next call is due (a new run, the end of a wait).
    void Reset() { started_ = false; }

    static int64_t SteadyMilliseconds();

private:
    Clock clock_;
    int64_t last_ = 0;
    bool started_ = false;
};
