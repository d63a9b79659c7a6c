#include "check/ui/core/gtest_run_state.h"

void GTestRunState::LibraryStarted()
{
    mode_ = Ready;
    runStarted_ = false;
}

bool GTestRunState::Press(bool step)
{
    if (mode_ == Created || Finished())
        return false;
    const uint8_t previous = mode_;
    mode_ = step ? StopAfterStroke : Fast;
    if (previous != Ready)
        return false;
    runStarted_ = true;
    return true;
}

bool GTestRunState::AfterStroke(bool remote)
{
    if (mode_ != StopAfterStroke)
        return false;
    if (remote) {
        mode_ = Fast;
        return false;
    }
    mode_ = Waiting;
    return true;
}

void GTestRunState::RunEnded()
{
    if (mode_ != Aborted)
        mode_ = Ended;
}

GTestRunState::CloseAnswer GTestRunState::Close(bool walkRunning)
{
    if (walkRunning && (mode_ == Fast || mode_ == Waiting || mode_ == StopAfterStroke || mode_ == Aborted)) {
        mode_ = Aborted;
        return CloseAnswer::Refuse;
    }
    return CloseAnswer::Carry;
}

void GTestRunState::Reset()
{
    mode_ = Created;
    runStarted_ = false;
}
