#pragma once
// One running instance of the program: an exclusive flock on a lock file
// named after the executable. A restarted program finds the old process
// still ending, so the lock is tried for a while before giving up.
#include <functional>
#include <string>

// The outcome of one try at the lock.
struct SingleInstanceTry {
    enum Result {
        Locked,       // fd holds the lock
        Taken,        // another process holds it; fd (when >= 0) is to be closed
        Unavailable,  // no lock can be set up here (no folder, no locks): run without one
    };
    Result result = Unavailable;
    int fd = -1;
};

// The steps of the guard, replaceable in tests. An empty member stands for
// the real step.
struct SingleInstanceOps {
    std::function<SingleInstanceTry(const std::string& lockPath)> tryLock;
    std::function<void(int milliseconds)> sleep;
};

inline constexpr int SingleInstanceTries = 50;
inline constexpr int SingleInstancePauseMs = 100;

// <exeFileName>.lock in the user's runtime folder (see RuntimeFolder); empty
// when that folder must not be used, and the program then runs without the
// lock: a lock file in a folder others can write to would let another user
// keep the program from starting.
std::string SingleInstanceLockPath(const std::string& exeFileName);

// The real try: opens (creating) the lock file with O_CLOEXEC, so that a
// program started from this one does not inherit the lock, and takes an
// exclusive flock without waiting.
SingleInstanceTry TryLockFile(const std::string& lockPath);

// Tries the lock up to 50 times, pausing 100 ms and closing the refused
// descriptor between tries. True when this process may run; MutexHandle then
// keeps the locked descriptor (-1 when no lock could be set up) open for the
// whole run. False when another instance holds the lock.
bool AcquireSingleInstance(const std::string& exeFileName, const SingleInstanceOps& ops = {});

// Closes MutexHandle (the end of the run; tests).
void ReleaseSingleInstance();

// The descriptor holding the lock, -1 when none.
extern int MutexHandle;
