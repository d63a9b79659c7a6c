#pragma once
// While a long job runs (compile, load, save, check) the program is busy:
// commands from outside wait, commands that change or replace the program
// are refused, and closing waits. Jobs nest; the program is busy while any
// of them runs.
#include <functional>

bool ProgramBusy();

// Marks the program busy for its lifetime, however the job ends.
class ProgramBusyScope {
public:
    ProgramBusyScope();
    ~ProgramBusyScope();
    ProgramBusyScope(const ProgramBusyScope&) = delete;
    ProgramBusyScope& operator=(const ProgramBusyScope&) = delete;
};

// The one observer of the busy state: called with true when the first job
// starts and with false when the last one ends. An empty function removes it.
void SetBusyObserver(std::function<void(bool busy)> observer);
