#include "kernel/dispatch/busystate.h"

#include <utility>

namespace {
int busyJobs = 0;
std::function<void(bool)> busyObserver;

void Notify(bool busy)
{
    if (busyObserver)
        busyObserver(busy);
}
}  // namespace

bool ProgramBusy()
{
    return busyJobs > 0;
}

ProgramBusyScope::ProgramBusyScope()
{
    if (busyJobs++ == 0)
        Notify(true);
}

ProgramBusyScope::~ProgramBusyScope()
{
    if (--busyJobs == 0)
        Notify(false);
}

void SetBusyObserver(std::function<void(bool busy)> observer)
{
    busyObserver = std::move(observer);
}
