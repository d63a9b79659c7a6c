// The test environment: every test case gets a fresh folder as program
// folder, with the configuration, runtime and drive-root variables below it,
// and a new program model with its defaults. The main functions (main.cpp,
// qt/main_qt.cpp) install it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/stat.h>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {
std::string currentHome;
std::string toolsFolder;

class FreshFolderListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        char templ[] = "/tmp/zorit-test-XXXXXX";
        char* dir = mkdtemp(templ);
        if (!dir) {
            std::perror("mkdtemp");
            std::abort();
        }
        currentHome = std::string(dir) + "/";
        fs::create_directories(currentHome + "Temp");
        fs::create_directories(currentHome + "config");
        fs::create_directories(currentHome + "runtime");
        fs::create_directories(currentHome + "drive");
        setenv("XDG_CONFIG_HOME", (currentHome + "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (currentHome + "runtime").c_str(), 1);
        setenv("ZORIT_DRIVE_ROOT", (currentHome + "drive").c_str(), 1);
        ProgrammPfad = currentHome;
        TempPfad = currentHome + "Temp/";
        Arbeitsebene = 1;
        TestModus = 0;
        Fernsteuerung = false;
        setKernelHost(nullptr);
        CreateProgramModel();
        SetDefaults();
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        setKernelHost(nullptr);
        DoneLanguage();
        FreeProgramModel();
        std::error_code ec;
        fs::remove_all(currentHome, ec);
        currentHome.clear();
    }
};
}  // namespace

const std::string& TestHome()
{
    return currentHome;
}

std::string WriteTestFile(const std::string& path, const std::string& bytes)
{
    fs::path p(path);
    if (p.has_parent_path())
        fs::create_directories(p.parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string ReadTestFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return {};
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::vector<std::string> NoFilePaths(const std::string& name)
{
    const std::string fifo = TestHome() + name;
    const std::string folder = fifo + ".d";
    if (!fs::exists(fifo) && ::mkfifo(fifo.c_str(), 0600) != 0)
        throw std::runtime_error("no named pipe " + fifo);
    fs::create_directories(folder);
    return {fifo, "/dev/zero", folder};
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

int RunCommand(const std::string& command, std::string* out)
{
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return -1;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        text.append(buf, n);
    int status = pclose(p);
    if (out)
        *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ToolsFolder()
{
    return toolsFolder;
}

void InitTestEnvironment(int* argc, char** argv)
{
    testing::InitGoogleTest(argc, argv);
    toolsFolder = ZORIT_TOOLS_DIR;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshFolderListener);
}
