// kernel_probe compile SCRIPT [--pattern FILE.TIF] [--dump] [--save OUT]: the
// script's bytes through the engine bridge's compile, as the compile driver
// runs it.
#include <iostream>

#include "kernel/compiler/scriptfile.h"
#include "kernel/model/globals.h"
#include "kernel/pattern/tiffpattern.h"
#include "kernel/services/services.h"
#include "tests/tools/compilerun.h"
#include "tests/tools/kernel_probe/pattern_support.h"
#include "tests/tools/kernel_probe/probe.h"
#include "tests/tools/programsave.h"

namespace {
constexpr const char* kUsage = "compile SCRIPT [--pattern FILE.TIF] [--dump] [--save OUT]";

// Plane 0 from the TIFF file, as loading a pattern leaves it; the success
// box stays away, as when the design program drives us.
bool LoadPattern(const std::string& file)
{
    WarningCapture capture;
    const bool remote = Fernsteuerung;
    Fernsteuerung = true;
    const bool ok = ReadTiffPattern(file, true, 0);
    Fernsteuerung = remote;
    if (!ok)
        PrintWarningError(capture);
    return ok;
}

int Compile(const ProbeArgs& given)
{
    ProbeArgs args = given;
    const bool dump = TakeSwitch(args, "--dump");
    const std::string pattern = TakeOption(args, "--pattern");
    const std::string save = TakeOption(args, "--save");
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
        throw ProbeUsage{kUsage};
    std::string script;
    if (const int code = ReadScriptFile(args[0], script); code != 0) {
        std::cout << "ERROR " << F_DiskErrorText(code) << "\n";
        return 1;
    }
    CompilePreparation prepare;
    if (!pattern.empty())
        prepare = [&](std::ostream&) { return LoadPattern(pattern); };
    const int rc = RunCompileCommand(script, dump, std::cout, prepare);
    if (rc != 0 || save.empty())
        return rc;
    return SaveProgramAs(save);
}

const ProbeCommandRegistrar registrar("compile", kUsage, Compile);
}  // namespace
