#include "shell/ram_copy_at_exit.h"

#include <cstdlib>

#include "kernel/dispatch/busystate.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/ramcopy.h"
#include "kernel/services/debuglog.h"

namespace {
bool armed = false;

void AtExit()
{
    WriteRamCopyAtExit();
}
}  // namespace

void ArmRamCopyAtExit()
{
    static const bool registered = std::atexit(AtExit) == 0;
    armed = registered;
}

void DisarmRamCopyAtExit()
{
    armed = false;
}

bool WriteRamCopyAtExit()
{
    if (!armed)
        return false;
    armed = false;
    if (ProgramBusy()) {
        DebugLog({"Programmende während eines Auftrags: RAM-Kopie nicht geschrieben"});
        return false;
    }
    // No window can be shown any more: a failed write is logged only.
    setKernelHost(nullptr);
    DebugLog({"Programmende ohne Fenster: RAM-Kopie", RamCopyPath()});
    return WriteRamCopy(RamCopyPath());
}
