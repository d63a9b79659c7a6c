#include "bench/long_program.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"
#include "tests/tools/compilerun.h"

std::string PrepareLongProgram()
{
    char templ[] = "/tmp/zorit-bench-XXXXXX";
    const char* dir = mkdtemp(templ);
    if (!dir)
        return "no program folder";
    ProgrammPfad = std::string(dir) + "/";
    TempPfad = ProgrammPfad + "Temp/";
    std::filesystem::create_directories(TempPfad);
    setenv("XDG_CONFIG_HOME", (ProgrammPfad + "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", dir, 1);
    CreateProgramModel();
    SetDefaults();
    std::ifstream in(std::string(ZORIT_CHECK_DATA_DIR) + "long_run.Skx", std::ios::binary);
    std::stringstream script;
    script << in.rdbuf();
    if (!in)
        return "no long_run.Skx";
    std::ostringstream out;
    if (RunCompileCommand(script.str(), false, out) != 0)
        return out.str().empty() ? "the program does not compile" : out.str();
    return {};
}
