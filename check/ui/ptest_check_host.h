#pragma once
// The program test window's side of the walk: events between rows, and the
// pause after a message until the user goes on (or stops).
#include "check/checkhost.h"
#include "check/programcheck.h"
#include "platform/frame_pace.h"

class PTestCheckHost : public CheckHost {
public:
    // Installed for its lifetime. Before each stroke and at each pause the
    // walk's position is copied to strokePosition: only there do its fields
    // belong together (between lines the S line is the enclosing one while
    // the Z row is still the last stroke's).
    explicit PTestCheckHost(T_CheckPosition& strokePosition);
    ~PTestCheckHost() override;
    PTestCheckHost(const PTestCheckHost&) = delete;
    PTestCheckHost& operator=(const PTestCheckHost&) = delete;

    // Once a frame: the panels follow the 70 ms timer, keys and buttons
    // answer within a frame, and a long walk is not bound by looking.
    void processEvents() override;
    void waitForContinue() override;

private:
    T_CheckPosition& strokePosition_;
    FramePace pace_;
};

