#pragma once
// How the program check reaches the window that runs it: the program test
// and export window and the simulation windows implement it; tests and the
// probe use fakes. Without one a null host answers.

class CheckHost {
public:
    virtual ~CheckHost() = default;

    // Lets the window handle pending events between two rows (program test
    // and export).
    virtual void processEvents() {}
    // The pause after a message in program test mode: returns once the
    // continue flag is set (a window blocks on its events, never spins).
    virtual void waitForContinue() {}
    // Simulation: the rows just handed to the library are shown.
    virtual void showNewRows() {}
    // Simulation: the user stopped the window's run; no more rows are shown.
    virtual bool simRunAborted() { return false; }
    // Simulation: a stroke gave a message; a window running fast stops after
    // this step and refreshes.
    virtual void stopAfterStep() {}
    // Simulation: the run is over (aborted: by a fatal message, the user or a
    // failure), the window ends its run.
    virtual void runEnded(bool /*aborted*/) {}
};

// The installed host (the null host when none is).
CheckHost& checkHost();
// Installs a host (nullptr: the null host again). Not owned.
void SetCheckHost(CheckHost* host);
