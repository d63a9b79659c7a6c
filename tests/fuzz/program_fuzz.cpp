// The machine program file on any file, loaded through the engine bridge
// into a fresh program. A refused load leaves the program as it was. A
// program the load accepts and the save writes loads again; the first trip
// may settle values the file cannot carry (an unset coupling distance is
// saved as 53, a refused value stays unset), after that a program comes
// back unchanged, but for one loss the format has: a last F line with left
// mode 0 and value 0 does not load (only its comment does), so each trip
// may drop or empty the last F line.
// Smoke run: 2000 runs.
// Longest input: 65536 bytes.
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

#include "kernel/model/globals.h"
#include "kernel/tkf/enginebridge.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/tools/programdump.h"

namespace {

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "program", what);
}

// The dump without the F list's lines, and those lines apart.
void SplitDump(const std::string& dump, std::string& rest, std::vector<std::string>& fLines)
{
    std::size_t start = 0;
    while (start < dump.size()) {
        const std::size_t end = dump.find('\n', start);
        const std::string line = dump.substr(start, end - start + 1);
        if (line.starts_with("F "))
            fLines.push_back(line);
        else
            rest += line;
        start = end == std::string::npos ? dump.size() : end + 1;
    }
}

// Saves the program as path and loads it back; false when the save refused.
bool SaveAndLoad(const std::string& path, const PatternNames& names, PatternNames& loaded)
{
    if (engineBridge.P_SaveProgram(path, names, TempPfad) != 0)
        return false;
    Check(engineBridge.P_LoadProgram(TempPfad, TempPfad, path, loaded) == 0, "a saved program does not load");
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::WriteInput("FUZZ.8AH", data, size);
    const std::string before = ProgramDump();
    PatternNames names;
    const std::uint16_t rc = engineBridge.P_LoadProgram(TempPfad, TempPfad, path, names);
    Check(rc == 0 || rc == 302, "neither loaded nor refused");
    if (rc != 0) {
        Check(ProgramDump() == before, "a refused load changed the program");
        Check(names == PatternNames{}, "a refused load gave pattern names");
    } else {
        const std::string copy = fuzz::Folder() + "COPY.8AH";
        PatternNames first;
        if (SaveAndLoad(copy, names, first)) {
            // (A name without an extension gains ".TIF" in the first save.)
            std::string settled, again;
            std::vector<std::string> settledF, againF;
            SplitDump(ProgramDump(), settled, settledF);
            PatternNames second;
            Check(SaveAndLoad(fuzz::Folder() + "AGAIN.8AH", first, second), "a loaded program no longer saves");
            SplitDump(ProgramDump(), again, againF);
            Check(again == settled, "the program changed through the save");
            Check(againF.size() <= settledF.size() &&
                      (againF.empty() || std::equal(againF.begin(), againF.end() - 1, settledF.begin())),
                  "the F list changed through the save");
            Check(second == first, "the pattern names changed through the save");
        }
    }
    fuzz::ResetProgramModel();
    fuzz::ClearFolder();
    return 0;
}
