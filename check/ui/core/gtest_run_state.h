#pragma once
// The run mode of the simulation window and the rules that move it. The
// window keeps its own "run started" flag: the checker's running flag stays
// the walk's own.
#include <cstdint>

class GTestRunState {
public:
    enum Mode : uint8_t {
        Created = 0,          // library not started
        Ready = 1,            // library started, no run yet
        Fast = 2,             // running fast
        Waiting = 3,          // waiting after a single step
        StopAfterStroke = 4,  // stop after the current stroke
        Aborted = 5,          // closed during a run, or the program changed
        Ended = 6,            // ended by the checker
    };
    enum class CloseAnswer { Carry, Refuse };

    uint8_t mode() const { return mode_; }
    void SetMode(uint8_t m) { mode_ = m; }
    bool runStarted() const { return runStarted_; }

    // The library stands: 0 -> 1.
    void LibraryStarted();
    // The start or step button: true when the check routine is to run now
    // (the run had not started yet).
    bool Press(bool step);
    // After the rows of a stroke are shown: true when the window waits for
    // the user (a single step); under remote control the run goes on fast.
    bool AfterStroke(bool remote);
    // The walk ended: 6, unless the run was aborted by a close.
    void RunEnded();
    bool Finished() const { return mode_ == Aborted || mode_ == Ended; }
    // A close request. While the walk still runs (modes 2 to 4) the run is
    // only told to stop: the library and the picture stay until it has.
    CloseAnswer Close(bool walkRunning);
    // A carried-out close: the next show starts the library anew.
    void Reset();

private:
    uint8_t mode_ = Created;
    bool runStarted_ = false;
};
