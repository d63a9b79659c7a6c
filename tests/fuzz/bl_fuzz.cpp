// The .Bl2 layer loader on any file, into plane 0 of a fresh program. A
// refusal comes with its warning box; what it accepts fits the plane.
// Smoke run: 4000 runs.
// Longest input: 65536 bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/blpattern.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "bl", what);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::WriteInput("FUZZ.Bl2", data, size);
    fuzz::CountingHost host;
    setKernelHost(&host);
    const bool ok = LoadBlPattern(path, true, false, 0);
    Check(ok || host.warnings == 1, "a refusal without its warning box");
    if (ok) {
        Check(host.warnings == 0, "a warning box on success");
        Check(ProgrammKopf.Width() <= kPatternStride, "a row wider than the plane");
        Check(BildEbene0.rowCount() == std::size_t(ProgrammKopf.Height()) + 1u, "plane and header disagree");
    }
    setKernelHost(nullptr);
    fuzz::ResetProgramModel();
    fuzz::ClearFolder();
    return 0;
}
