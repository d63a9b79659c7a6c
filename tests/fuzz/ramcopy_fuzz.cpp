// The program snapshot on any file, read into the program. A refused file
// changes nothing and shows nothing; a taken one is written back as the bytes
// it was read from, up to its end, but for what the program keeps as yes or
// no (the planes' present and attribute bytes) and a level byte of 0, which
// writing raises to 1.
// Smoke run: 5000 runs.
// Longest input: 262144 bytes.
// (A real program's snapshot: some hundred scheme lines of 640 bytes and a
// pattern of a few hundred cells square.)
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kernel/model/ramcopy.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/tools/programdump.h"

namespace {

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "ramcopy", what);
}

// The bytes a snapshot read from bytes is written back as.
std::string WrittenBack(std::string_view bytes, const RamCopyLayout& layout)
{
    std::string out(bytes.substr(0, layout.end));
    if (out[layout.setup] == 0)
        out[layout.setup] = 1;
    for (std::size_t at : layout.plane) {
        if (out[at] != 0) {
            out[at] = 1;
            out[at + 1] = out[at + 1] != 0 ? 1 : 0;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::WriteInput("Saveram.Tmp", bytes);
    const std::string before = ProgramDump();
    RamCopyLayout layout;
    const bool whole = CheckRamCopy(bytes, &layout).empty();

    fuzz::CountingHost host;
    setKernelHost(&host);
    const bool taken = ReadRamCopy(path);
    setKernelHost(nullptr);

    Check(taken == whole, "the reader and the check disagree");
    Check(host.warnings == 0, "reading showed a message");
    if (!taken)
        Check(ProgramDump() == before, "a refused file changed the program");
    else
        Check(SerializeProgram() == WrittenBack(bytes, layout), "the program is written back differently");
    fuzz::ResetProgramModel();
    fuzz::ClearFolder();
    return 0;
}
