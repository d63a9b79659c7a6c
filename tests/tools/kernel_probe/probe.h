#pragma once
// kernel_probe: the kernel on the command line. Each command lives in its
// own source file and registers itself here. ProbeUsage, ProbeArgs,
// TakeOption, TakeSwitch and HexBytes come from the probes' common rules.
#include "tests/tools/common/probe_common.h"

// A command returns the exit status (0 success, 1 the operation reported an error).
using ProbeRun = int (*)(const ProbeArgs& args);

struct ProbeCommandRegistrar {
    ProbeCommandRegistrar(const char* name, const char* usage, ProbeRun run);
};
