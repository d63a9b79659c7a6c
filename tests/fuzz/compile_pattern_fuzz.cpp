// The script compiler over a pattern, so that a named module set is knitted
// along the rows as it is for every real script with a pattern. The input is
// the script, a NUL byte, then plane 0: one byte for its width (1 + byte mod
// 64) and its cells, row 1 first, one byte a cell (as many whole rows as
// there are, at most 128). Without the NUL the script compiles without a
// pattern. A script it compiles makes a program that saves and loads again.
// Smoke run: 5000 runs.
// Longest input: 131072 bytes.
// (A real script of some thousand lines and the largest plane taken.)
#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>

#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/tools/compilerun.h"

namespace {

constexpr std::size_t kMaxWidth = 64;
constexpr std::size_t kMaxRows = 128;

// Plane 0 as a pattern load leaves it: the header's size, the rows and the
// flags. No whole row leaves the plane empty, as a new program has it.
void LoadPlane(std::string_view cells)
{
    if (cells.empty())
        return;
    const std::size_t width = 1 + static_cast<std::uint8_t>(cells[0]) % kMaxWidth;
    cells.remove_prefix(1);
    const std::size_t rows = std::min(cells.size() / width, kMaxRows);
    if (rows == 0)
        return;
    ProgrammKopf.SetWidth(static_cast<std::uint16_t>(width));
    ProgrammKopf.SetHeight(static_cast<std::uint16_t>(rows));
    BildEbene0.allocate(static_cast<std::uint16_t>(rows));
    BildEbene0.present = true;
    BildEbene0.second = true;
    for (std::size_t row = 1; row <= rows; ++row) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(cells.data() + (row - 1) * width);
        P_WritePatroneRow(static_cast<std::uint16_t>(row), bytes, static_cast<std::uint16_t>(width), 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string script(input.substr(0, nul));
    const std::string_view pattern = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    std::ostringstream report;
    const auto load = [pattern](std::ostream&) {
        LoadPlane(pattern);
        return true;
    };
    if (RunCompileCommand(script, false, report, load) == 0)
        fuzz::CheckSavedProgramLoads("compile_pattern");
    fuzz::ResetProgramModel();
    fuzz::ClearFolder();
    return 0;
}
