// The script compiler on any script text, run as the compile driver runs
// it. A script it compiles makes a program that saves and loads again.
// Smoke run: 10000 runs.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "kernel/model/globals.h"
#include "kernel/tkf/enginebridge.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/tools/compilerun.h"

namespace {

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "compile", what);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string script(reinterpret_cast<const char*>(data), size);
    std::ostringstream report;
    if (RunCompileCommand(script, false, report) == 0) {
        const std::string path = fuzz::Folder() + "COMPILED.8AH";
        if (engineBridge.P_SaveProgram(path, PatternNames{}, TempPfad) == 0) {
            PatternNames names;
            Check(engineBridge.P_LoadProgram(TempPfad, TempPfad, path, names) == 0,
                  "a compiled program does not load once saved");
        }
    }
    fuzz::ResetProgramModel();
    fuzz::ClearFolder();
    return 0;
}
