#include "platform/frame_pace.h"

#include <chrono>

FramePace::FramePace(Clock clock) : clock_(std::move(clock)) {}

bool FramePace::Due()
{
    const int64_t now = clock_();
    if (started_ && now - last_ < kFrameMs)
        return false;
    started_ = true;
    last_ = now;
    return true;
}

int64_t FramePace::SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
