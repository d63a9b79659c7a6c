// kernel_probe load FILE [--dump] [--save OUT]
#include <iostream>

#include "kernel/compiler/compilererror.h"
#include "kernel/model/globals.h"
#include "kernel/tkf/enginebridge.h"
#include "tests/tools/kernel_probe/probe.h"
#include "tests/tools/programdump.h"
#include "tests/tools/programsave.h"

namespace {

int Load(const ProbeArgs& given)
{
    ProbeArgs args = given;
    const bool dump = TakeSwitch(args, "--dump");
    const std::string out = TakeOption(args, "--save");
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
        throw ProbeUsage{"load FILE [--dump] [--save OUT]"};

    PatternNames names;
    const uint16_t rc = engineBridge.P_LoadProgram(TempPfad, TempPfad, args[0], names);
    if (rc == 0)
        std::cout << "OK\n";
    else
        std::cout << "ERROR " << rc << " " << CompilerErrorText(rc) << "\n";
    if (dump)
        std::cout << ProgramDump();
    std::cout.flush();
    if (rc != 0)
        return 1;
    if (!out.empty())
        return SaveProgramAs(out);
    return 0;
}

const ProbeCommandRegistrar registrar("load", "load FILE [--dump] [--save OUT]", Load);

}  // namespace
