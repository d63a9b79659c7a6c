// The script compiler on any script text, run as the compile driver runs
// it. A script it compiles makes a program that saves and loads again.
// Smoke run: 10000 runs.
#include <sstream>
#include <string>

#include "tests/fuzz/fuzz_support.h"
#include "tests/tools/compilerun.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string script(reinterpret_cast<const char*>(data), size);
    std::ostringstream report;
    if (RunCompileCommand(script, false, report) == 0)
        fuzz::CheckSavedProgramLoads("compile");
    fuzz::ResetProgramModel();
    fuzz::ClearFolder();
    return 0;
}
