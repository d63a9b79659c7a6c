#pragma once
// kernel_probe: the kernel on the command line. Each command lives in its
// own source file and registers itself here.
#include <string>
#include <vector>

// Thrown by a command for bad usage: exit 2 with the text on stderr.
struct ProbeUsage {
    std::string text;
};

using ProbeArgs = std::vector<std::string>;
// A command returns the exit status (0 success, 1 the operation reported an error).
using ProbeRun = int (*)(const ProbeArgs& args);

struct ProbeCommandRegistrar {
    ProbeCommandRegistrar(const char* name, const char* usage, ProbeRun run);
};

// Takes "--name VALUE" out of args; empty when absent. A missing value is a usage error.
std::string TakeOption(ProbeArgs& args, const std::string& name);
// Takes a "--name" switch out of args.
bool TakeSwitch(ProbeArgs& args, const std::string& name);
// Lower-case hex, two digits a byte.
std::string HexBytes(const void* data, size_t n);
