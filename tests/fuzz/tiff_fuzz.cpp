// The TIFF pattern reader on any file, into plane 0 of a fresh program.
// What it accepts must come back unchanged through the writer, LZW and
// plain; what it refuses is refused with a warning box.
// Smoke run: 10000 runs.
// Longest input: 65536 bytes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/programmodel.h"
#include "kernel/pattern/tiffpattern.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The round trip writes the plane twice; large planes would only cost time.
constexpr std::size_t kMaxRoundTripCells = 1 << 20;

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "tiff", what);
}

std::vector<std::uint8_t> PlaneCells(int plane)
{
    const T_Patrone& p = *PatternPlane(plane);
    std::vector<std::uint8_t> cells;
    for (std::size_t row = 1; row <= ProgrammKopf.Height(); ++row)
        cells.insert(cells.end(), p.rows.begin() + row * kPatternStride,
                     p.rows.begin() + row * kPatternStride + ProgrammKopf.Width());
    return cells;
}

void RoundTrip(bool compress)
{
    const std::vector<std::uint8_t> before = PlaneCells(0);
    const std::string out = fuzz::Folder() + "OUT.TIF";
    Check(WriteTiffPattern(compress, out, 0, true, true), "the writer refused a plane the reader made");
    std::fill(BildEbene0.rows.begin(), BildEbene0.rows.end(), 0xEE);
    Check(ReadTiffPattern(out, true, 0), "the reader refused what the writer wrote");
    Check(PlaneCells(0) == before, "the plane changed on its way through the writer");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::WriteInput("FUZZ.TIF", data, size);
    fuzz::CountingHost host;
    setKernelHost(&host);
    const bool ok = ReadTiffPattern(path, true, 0);
    Check(ok || host.warnings == 1, "a refusal without its warning box");
    Check(!ok || host.warnings == 0, "a warning box on success");
    if (ok && std::size_t(ProgrammKopf.Width()) * ProgrammKopf.Height() <= kMaxRoundTripCells) {
        RoundTrip(true);
        RoundTrip(false);
    }
    setKernelHost(nullptr);
    fuzz::ResetProgramModel();
    fuzz::ClearFolder();
    return 0;
}
