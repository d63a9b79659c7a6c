// The probe's common rules, driven from outside.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {
int Probe(const std::string& args, std::string* out = nullptr)
{
    return RunCommand(ToolsFolder() + "kernel_probe " + args + " 2>/dev/null", out);
}

}  // namespace

TEST(KernelProbe, UsageAndUnknownCommandsExitTwo)
{
    EXPECT_EQ(Probe(""), 2);
    EXPECT_EQ(Probe("nosuch"), 2);
    EXPECT_EQ(Probe("--home"), 2);
}

TEST(KernelProbe, HomeFolderIsKeptAndFreshFolderRemoved)
{
    std::string home = TestHome() + "h";
    EXPECT_EQ(Probe("--home " + home + " nosuch"), 2);
    EXPECT_TRUE(fs::is_directory(home + "/Temp"));

    std::string tmp = TestHome() + "tmp";
    fs::create_directories(tmp);
    EXPECT_EQ(RunCommand("TMPDIR=" + tmp + " " + ToolsFolder() + "kernel_probe nosuch 2>/dev/null"), 2);
    EXPECT_TRUE(fs::is_empty(tmp));
}

TEST(KernelLibraries, NoQtInTheKernelTests)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        EXPECT_EQ(line.find("libQt6"), std::string::npos) << line;
}
