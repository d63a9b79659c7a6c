#include "kernel/dispatch/busystate.h"

namespace {
int busyJobs = 0;
}

bool ProgramBusy()
{
    return busyJobs > 0;
}

ProgramBusyScope::ProgramBusyScope()
{
    ++busyJobs;
}

ProgramBusyScope::~ProgramBusyScope()
{
    --busyJobs;
}
