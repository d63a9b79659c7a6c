// kernel_probe check end to end: the scripts of tests/data/check compiled
// and checked, the output compared line by line with the .out files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_env.h"

namespace {

const std::string kData = ZORIT_CHECK_DATA_DIR;

std::string Probe(const std::string& args, int* rc)
{
    std::string out;
    *rc = RunCommand("cd '" + TestHome() + "' && '" + ToolsFolder() + "kernel_probe' " + args, &out);
    return out;
}

struct Golden {
    const char* script;
    const char* mode;
};

class CheckProbe : public testing::TestWithParam<Golden> {};

}  // namespace

TEST_P(CheckProbe, OutputMatches)
{
    const Golden g = GetParam();
    int rc = -1;
    const std::string out =
        Probe("check '" + kData + g.script + ".Skx' --mode " + g.mode, &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out, ReadTestFile(kData + g.script + ".out"));
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, CheckProbe,
    testing::Values(Golden{"plain", "test"}, Golden{"plain", "sim"}, Golden{"plain", "export"},
                    Golden{"no_sequence", "test"}, Golden{"no_room", "test"}, Golden{"last_right", "test"},
                    Golden{"direction", "test"}, Golden{"first_row", "test"}, Golden{"machine_stop", "test"},
                    Golden{"racking", "test"}, Golden{"overlap", "test"}, Golden{"jacquard", "test"},
                    Golden{"wide_division", "test"}, Golden{"carrier", "test"}, Golden{"nested", "test"},
                    Golden{"nested", "sim"}, Golden{"carrier", "export"}),
    [](const testing::TestParamInfo<Golden>& info) {
        return std::string(info.param.script) + "_" + info.param.mode;
    });

TEST(CheckProbeRun, ExportLeavesTheConversionFile)
{
    const std::string home = TestHome() + "home";
    int rc = -1;
    const std::string out = Probe("--home '" + home + "' check '" + kData + "plain.Skx' --mode export", &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out, ReadTestFile(kData + "plain.out"));
    const std::string wandel = ReadTestFile(home + "/Temp/Wandel.Sma");
    EXPECT_EQ(wandel.rfind("WANDEL.SMA 1\r\n", 0), 0u);
    // Two strokes, one line each.
    size_t lines = 0;
    for (size_t at = wandel.find("\r\nL "); at != std::string::npos; at = wandel.find("\r\nL ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u);
}

TEST(CheckProbeRun, PatternFromATiffFile)
{
    // Rows 1..3 of the bands are colour 0 ("V"): both selections of row 1
    // take every needle. Without the pattern nothing is selected.
    int rc = -1;
    Probe("tiff-write '" + TestHome() + "bands.tif' --size 100x20 --bands", &rc);
    ASSERT_EQ(rc, 0);
    const std::string script = "check '" + kData + "pattern_overlap.Skx'";
    EXPECT_EQ(Probe(script + " --pattern '" + TestHome() + "bands.tif'", &rc),
              ReadTestFile(kData + "pattern_overlap.out"));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Probe(script + " --mode sim --pattern '" + TestHome() + "bands.tif'", &rc),
              ReadTestFile(kData + "pattern_overlap.out"));
    EXPECT_EQ(Probe(script, &rc).find("Lang- und Kurzauswahl"), std::string::npos);
    EXPECT_EQ(Probe(script + " --pattern '" + TestHome() + "missing.tif'", &rc).rfind("ERROR ", 0), 0u);
    EXPECT_EQ(rc, 1);
}

TEST(CheckProbeRun, CompileErrorsAndUsage)
{
    const std::string script = WriteTestFile(TestHome() + "bad.Skx", "MODULSET TEST;\r\nBEGIN\r\n$Y=1;\r\n");
    int rc = -1;
    EXPECT_EQ(Probe("check '" + script + "'", &rc), "ERROR 404 3 6 $Y=1\n");
    EXPECT_EQ(rc, 1);
    Probe("check '" + kData + "plain.Skx' --mode fast", &rc);
    EXPECT_EQ(rc, 2);
    Probe("check", &rc);
    EXPECT_EQ(rc, 2);
    EXPECT_EQ(Probe("check '" + TestHome() + "missing.Skx'", &rc).rfind("ERROR", 0), 0u);
    EXPECT_EQ(rc, 1);
}

TEST(CheckProbeRun, MissingLibraryInTheSimulation)
{
    // A copy of the probe in a folder of its own finds no library there;
    // the system search finds none either.
    const std::string folder = TestHome() + "alone/";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(ToolsFolder() + "kernel_probe", folder + "kernel_probe");
    std::string out;
    const int rc = RunCommand("cd '" + TestHome() + "' && env LD_LIBRARY_PATH= '" + folder + "kernel_probe' check '" +
                                  kData + "plain.Skx' --mode sim",
                              &out);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(out.rfind("MSG Datei:libVpSimMod.so\nMSG Fehler beim Laden der Dll\n", 0), 0u) << out;
}
