#pragma once
// The simulation window's side of the walk: shows the new rows after each
// stroke, waits after a single step, and ends the window's run.
#include "check/checkhost.h"

class TFormGTest;

class GTestCheckHost : public CheckHost {
public:
    // Installed for its lifetime.
    explicit GTestCheckHost(TFormGTest& window);
    ~GTestCheckHost() override;
    GTestCheckHost(const GTestCheckHost&) = delete;
    GTestCheckHost& operator=(const GTestCheckHost&) = delete;

    void showNewRows() override;
    bool simRunAborted() override;
    void runEnded(bool aborted) override;

private:
    TFormGTest& window_;
};
