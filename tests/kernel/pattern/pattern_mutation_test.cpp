// Damaged pattern files through the probe: whatever the damage, the probe
// ends with 0 or 1, never a crash or a hang (timeout 10 guards). In the
// sanitizer build an error report counts as a crash.
#include <gtest/gtest.h>

#include <map>

#include "tests/kernel/pattern/pattern_test_util.h"

namespace {

constexpr int kMutations = 500;

// Runs "kernel_probe COMMAND <file> [<file>.out]" for every file of the
// folder, four at a time; the exit status of each.
std::map<std::string, int> RunAll(const std::string& folder, const std::string& command, bool outFolder)
{
    const std::string probe = ToolsFolder() + "kernel_probe";
    const std::string target = outFolder ? " o_{}" : "";
    std::string text;
    Shell("cd " + folder + " && ls | xargs -P 4 -I{} sh -c '" + (outFolder ? "mkdir o_{} && " : "")
              + "ASAN_OPTIONS=exitcode=99:$ASAN_OPTIONS timeout 10 " + probe + " " + command + " {}" + target
              + " >/dev/null 2>&1; echo \"{} $?\"'",
          &text);
    std::map<std::string, int> status;
    for (const auto& line : SplitLines(text)) {
        const size_t blank = line.rfind(' ');
        if (blank != std::string::npos)
            status[line.substr(0, blank)] = std::atoi(line.c_str() + blank + 1);
    }
    return status;
}

void ExpectOnlyZeroOrOne(const std::map<std::string, int>& status)
{
    EXPECT_EQ(status.size(), size_t(kMutations));
    int ok = 0;
    for (const auto& [file, rc] : status) {
        EXPECT_TRUE(rc == 0 || rc == 1) << file << " ended with " << rc;
        ok += rc == 0;
    }
    // Some damage is harmless, most is not.
    EXPECT_GT(ok, 0);
    EXPECT_LT(ok, kMutations);
}

}  // namespace

TEST(PatternMutations, Tiff)
{
    ASSERT_EQ(Probe("tiff-write src.tif --size 300x60 --seed 2"), 0);
    ASSERT_EQ(Fixture("mutate src.tif m " + std::to_string(kMutations) + " 1"), 0);
    ExpectOnlyZeroOrOne(RunAll("m", "tiff-read", false));
}

TEST(PatternMutations, Bl)
{
    // 40 coded rows of width 9: a run, two literals, a run, each row's
    // length word in front of it.
    std::string rows;
    for (int r = 0; r < 40; ++r)
        rows += std::string(" w6 c5") + (r % 2 ? "11" : "22") + "0102c3" + (r % 3 ? "09" : "2f");
    ASSERT_EQ(Fixture("bl src.Bl2 40 0x8009" + rows + " w0"), 0);
    std::string out;
    ASSERT_EQ(Probe("bl-read src.Bl2", &out), 0) << out;
    ASSERT_EQ(Fixture("mutate src.Bl2 m " + std::to_string(kMutations) + " 2"), 0);
    ExpectOnlyZeroOrOne(RunAll("m", "bl-read", false));
}

TEST(PatternMutations, Smz)
{
    ASSERT_EQ(Fixture("smz src.SMZ"), 0);
    ASSERT_EQ(Fixture("mutate src.SMZ m " + std::to_string(kMutations) + " 3"), 0);
    ExpectOnlyZeroOrOne(RunAll("m", "smz-extract", true));
}
