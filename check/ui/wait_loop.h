#pragma once
// The waits of the checker windows: an event loop that ends once the
// condition holds. The flags it watches are set by buttons and keys of the
// same loop, so it looks again after every few milliseconds.
#include <functional>

void WaitLoop(const std::function<bool()>& done);

// "Bitte warten" in the shared progress window (without its bar) while the
// library is freed; the window goes when the note does.
class WaitNote {
public:
    WaitNote();
    ~WaitNote();
    WaitNote(const WaitNote&) = delete;
    WaitNote& operator=(const WaitNote&) = delete;
};
