#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/paths.h"
#include "platform/qt/processes.h"
#include "tests/support/qt_app.h"
#include "tests/support/test_env.h"

namespace {

// The detached start processes events once, which needs an application.
void EnsureApplication()
{
    EnsureQtApplication();
}

// A detached child finishes in its own time: wait for its file, but not forever.
std::string WaitForFile(const std::string& path)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string bytes;
    while (std::chrono::steady_clock::now() < deadline) {
        bytes = ReadTestFile(path);
        if (!bytes.empty() && bytes.back() == '\n')
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return bytes;
}

// The drive root as the child's "pwd" prints it: without links or a final "/".
std::string PhysicalRoot()
{
    return std::filesystem::canonical(DriveRoot()).string();
}

}  // namespace

TEST(Processes, WaitedProgramRunsInTheDriveRoot)
{
    EnsureApplication();
    ASSERT_TRUE(P_RunProgram("sh -c 'pwd > F'", false, true));
    EXPECT_EQ(ReadTestFile(DriveRoot() + "F"), PhysicalRoot() + "\n");
}

TEST(Processes, WaitBlocksUntilTheProgramEnds)
{
    EnsureApplication();
    ASSERT_TRUE(P_RunProgram("sh -c 'sleep 0.3; echo late > W'", true, true));
    EXPECT_EQ(ReadTestFile(DriveRoot() + "W"), "late\n");
    // A child that reads its input gets an empty one instead of hanging.
    ASSERT_TRUE(P_RunProgram("sh -c 'cat > In; echo done >> In'", false, true));
    EXPECT_EQ(ReadTestFile(DriveRoot() + "In"), "done\n");
}

TEST(Processes, ProgramPathIsFoundLikeStoredPaths)
{
    EnsureApplication();
    const std::string tool = WriteTestFile(DriveRoot() + "Bin/Tool.sh",
                                           "#!/bin/sh\nprintf '%s|%s\\n' \"$1\" \"$2\" > out.txt\n");
    ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);
    ASSERT_TRUE(P_RunProgram("C:\\BIN\\TOOL.SH \"two words\" C:\\x.8a", false, true));
    // Arguments pass through untouched; only the program is looked up.
    EXPECT_EQ(ReadTestFile(DriveRoot() + "out.txt"), "two words|C:\\x.8a\n");

    // An apostrophe inside a word is no quote.
    const std::string other = WriteTestFile(DriveRoot() + "Bob's/t.sh", "#!/bin/sh\necho \"$1\" > bob.txt\n");
    ASSERT_EQ(::chmod(other.c_str(), 0755), 0);
    ASSERT_TRUE(P_RunProgram("C:\\BOB'S\\T.SH it's", false, true));
    EXPECT_EQ(ReadTestFile(DriveRoot() + "bob.txt"), "it's\n");
}

TEST(Processes, ShellAndWindowsQuotingBothGroupWords)
{
    EnsureApplication();
    ASSERT_TRUE(P_RunProgram("sh -c 'printf \"<%s>\" \"a  b\" > Q'", false, true));
    EXPECT_EQ(ReadTestFile(DriveRoot() + "Q"), "<a  b>");
    ASSERT_TRUE(P_RunProgram("sh -c \"printf '<%s>' \"\"\"x\"\"\" > P\"", false, true));
    EXPECT_EQ(ReadTestFile(DriveRoot() + "P"), "<x>");
}

TEST(Processes, DetachedProgramRunsOnItsOwn)
{
    EnsureApplication();
    ASSERT_TRUE(P_RunProgram("sh -c 'pwd > D'", false, false));
    EXPECT_EQ(WaitForFile(DriveRoot() + "D"), PhysicalRoot() + "\n");
}

TEST(Processes, MissingProgramsReportFailure)
{
    EnsureApplication();
    EXPECT_FALSE(P_RunProgram("", false, true));
    EXPECT_FALSE(P_RunProgram("   ", false, false));
    EXPECT_FALSE(P_RunProgram("C:\\Nope\\prog.exe /x", false, true));
    EXPECT_FALSE(P_RunProgram("C:\\Nope\\prog.exe /x", false, false));
    EXPECT_FALSE(P_RunProgram("zorit-no-such-program-here", false, true));
}
