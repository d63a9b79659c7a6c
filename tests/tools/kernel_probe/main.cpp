// kernel_probe: exit 0 on success, 1 when the operation reported an error,
// 2 on bad usage or an unknown command. Messages the kernel would show in a
// window are printed as "MSG <text>" lines.
#include <iostream>
#include <map>
#include <string>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/debuglog.h"
#include "tests/tools/kernel_probe/probe.h"

namespace {

struct Command {
    const char* usage;
    ProbeRun run;
};

std::map<std::string, Command>& commands()
{
    static std::map<std::string, Command> table;
    return table;
}

std::string Usage()
{
    std::string text = "usage: kernel_probe [--home DIR] COMMAND ...\n";
    for (const auto& [name, c] : commands())
        text += std::string("  kernel_probe ") + c.usage + "\n";
    return text;
}

}  // namespace

ProbeCommandRegistrar::ProbeCommandRegistrar(const char* name, const char* usage, ProbeRun run)
{
    commands()[name] = Command{usage, run};
}

int main(int argc, char** argv)
{
    ProbeArgs args(argv + 1, argv + argc);
    ProbeHome home;
    PrintingHost host;
    return RunProbe("kernel_probe", "", [&] {
        const std::string dir = TakeOption(args, "--home");
        if (args.empty())
            return PrintProbeUsage("kernel_probe", "", Usage());
        home.Enter(dir, "kernel-probe");
        auto it = commands().find(args[0]);
        if (it == commands().end())
            return PrintProbeUsage("kernel_probe", "unknown command " + args[0], Usage());

        setKernelHost(&host);
        DebugLogStart();
        CreateProgramModel();
        SetDefaults();
        ProbeArgs rest(args.begin() + 1, args.end());
        int rc = it->second.run(rest);
        std::cout.flush();
        setKernelHost(nullptr);
        FreeProgramModel();
        return rc;
    });
}
