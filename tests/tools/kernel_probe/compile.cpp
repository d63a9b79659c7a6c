// kernel_probe compile SCRIPT [--dump]: the script's bytes through the
// engine bridge's compile, as the compile driver runs it.
#include <fstream>
#include <iostream>
#include <iterator>

#include "tests/tools/compilerun.h"
#include "tests/tools/kernel_probe/probe.h"

namespace {
int Compile(const ProbeArgs& given)
{
    ProbeArgs args = given;
    const bool dump = TakeSwitch(args, "--dump");
    // Loading a pattern and saving the program come with the pattern files
    // and the machine program file.
    for (const char* option : {"--pattern", "--save"})
        for (const std::string& a : args)
            if (a == option)
                throw ProbeUsage{std::string(option) + " is not available"};
    if (args.size() != 1)
        throw ProbeUsage{"compile needs one script"};
    std::ifstream in(args[0], std::ios::binary);
    if (!in) {
        std::cout << "ERROR cannot read " << args[0] << "\n";
        return 1;
    }
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return RunCompileCommand(script, dump, std::cout);
}

ProbeCommandRegistrar registrar("compile", "compile SCRIPT [--dump]", Compile);
}  // namespace
