#include "tests/fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/tkf/enginebridge.h"

namespace fs = std::filesystem;

namespace fuzz {

namespace {

std::string folder;

void RemoveFolder()
{
    std::error_code ec;
    if (!folder.empty())
        fs::remove_all(folder, ec);
}

}  // namespace

void InitEnvironment()
{
    if (!folder.empty())
        return;
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/zorit-fuzz-XXXXXX";
    if (!mkdtemp(templ.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    folder = templ + "/";
    std::atexit(RemoveFolder);
    ClearFolder();
    setenv("XDG_CONFIG_HOME", (folder + "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder + "runtime").c_str(), 1);
    setenv("ZORIT_DRIVE_ROOT", (folder + "drive").c_str(), 1);
    ProgrammPfad = folder;
    TempPfad = folder + "Temp/";
    CreateProgramModel();
    SetDefaults();
}

const std::string& Folder()
{
    return folder;
}

std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    return WriteInput(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

std::string WriteInput(const std::string& name, std::string_view bytes)
{
    const std::string path = folder + name;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void ClearFolder()
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        fs::remove_all(entry.path(), ec);
    for (const char* sub : {"Temp", "config", "runtime", "drive"})
        fs::create_directories(folder + sub, ec);
}

void ResetProgramModel()
{
    FreeProgramModel();
    CreateProgramModel();
    SetDefaults();
}

void CheckSavedProgramLoads(const char* target)
{
    const std::string path = folder + "COMPILED.8AH";
    if (engineBridge.P_SaveProgram(path, PatternNames{}, TempPfad) != 0)
        return;  // a program the file cannot hold is refused with its code
    PatternNames names;
    Check(engineBridge.P_LoadProgram(TempPfad, TempPfad, path, names) == 0, target,
          "a compiled program does not load once saved");
}

std::uint8_t Reader::Byte()
{
    return pos < bytes.size() ? static_cast<std::uint8_t>(bytes[pos++]) : 0;
}

std::uint32_t Reader::U32()
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return v;
}

std::string_view Reader::Rest()
{
    std::string_view rest = bytes.substr(pos);
    pos = bytes.size();
    return rest;
}

void Check(bool ok, const char* target, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", target, what);
        std::abort();
    }
}

}  // namespace fuzz
