#pragma once
// The program test window's side of the walk: events between rows, and the
// pause after a message until the user goes on (or stops).
#include "check/checkhost.h"

class PTestCheckHost : public CheckHost {
public:
    // Installed for its lifetime.
    PTestCheckHost();
    ~PTestCheckHost() override;
    PTestCheckHost(const PTestCheckHost&) = delete;
    PTestCheckHost& operator=(const PTestCheckHost&) = delete;

    void processEvents() override;
    void waitForContinue() override;
};

