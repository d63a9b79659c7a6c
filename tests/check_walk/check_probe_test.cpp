// kernel_probe check end to end: the scripts of tests/data/check compiled
// and checked, the output compared line by line with the .out files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kernel/model/programmodel.h"
#include "kernel/pattern/tiffpattern.h"
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
                    Golden{"nested", "sim"}, Golden{"carrier", "export"}, Golden{"stitches", "sim"}),
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

namespace {

// Pattern row r has "A" (colour 19) in every column x with (x + r) mod 7 =
// 0, "B" (20) elsewhere: rows 1..7 differ from each other.
bool CellIsA(int x, int r)
{
    return (x + r) % 7 == 0;
}

std::string ShiftedRowsFile()
{
    ProgrammKopf.SetWidth(100);
    ProgrammKopf.SetHeight(20);
    BildEbene0.allocate(20);
    for (int r = 1; r <= 20; ++r)
        for (int x = 1; x <= 100; ++x)
            BildEbene0.rows[size_t(r) * kPatternStride + size_t(x - 1)] = CellIsA(x, r) ? 19 : 20;
    BildEbene0.present = true;
    const std::string file = TestHome() + "rows.tif";
    EXPECT_TRUE(WriteTiffPattern(true, file, 0, true, true));
    return file;
}

// Row 1 knits the needles whose cell is "A" in the front's pattern row,
// given as the item says; W line 4 is 9 and W line 5 is 5.
std::string SelectionScript(const std::string& item)
{
    return "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$XMAX=100;\r\n$YMAX=20;\r\n$W4=9;\r\n"
           "$W5=5;\r\n$N_1=X1,99,D1;\r\n$S_1=Z1,1,D1,N1,0;\r\n[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\n"
           "S1=>,[A]," + item + ";\r\nTZ=50;\r\nWA=D10;\r\nS1=<,POS;\r\nEND;\r\n";
}

// The front actions of the first selection line of the conversion file,
// needles 1..100.
std::string FirstFrontActions(const std::string& wandel)
{
    const size_t at = wandel.find("\r\nS ");
    if (at == std::string::npos)
        return {};
    const size_t front = wandel.find(' ', at + 4);
    return wandel.substr(front + 1, 100);
}

}  // namespace

TEST(CheckProbeRun, PatternRowFormsSelectTheirRow)
{
    struct Case {
        const char* item;
        int row;
    };
    const std::string pattern = ShiftedRowsFile();
    const std::string home = TestHome() + "home";
    for (const Case c : {Case{"YVW5", 5}, Case{"YVD+4", 4}, Case{"YVD3", 3}, Case{"YV6", 6}}) {
        SCOPED_TRACE(c.item);
        const std::string script = WriteTestFile(TestHome() + "rows.Skx", SelectionScript(c.item));
        int rc = -1;
        const std::string out = Probe("--home '" + home + "' check '" + script + "' --mode export --pattern '" +
                                          pattern + "'",
                                      &rc);
        EXPECT_EQ(rc, 0);
        const std::string tail = "Keine Fehler gefunden!\nSTROKES 2\n";
        ASSERT_GE(out.size(), tail.size());
        EXPECT_EQ(out.substr(out.size() - tail.size()), tail) << out;
        std::string want;
        for (int x = 1; x <= 100; ++x)
            want += CellIsA(x, c.row) ? 'M' : '.';
        EXPECT_EQ(FirstFrontActions(ReadTestFile(home + "/Temp/Wandel.Sma")), want);
    }
}

TEST(CheckProbeRun, AnExportStoppedByAFatalMessageLeavesNoConversionFile)
{
    const std::string home = TestHome() + "home";
    int rc = -1;
    EXPECT_EQ(Probe("--home '" + home + "' check '" + kData + "jacquard.Skx' --mode export", &rc),
              ReadTestFile(kData + "jacquard.out"));
    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(std::filesystem::exists(home + "/Temp/Wandel.Sma"));
    EXPECT_FALSE(std::filesystem::exists(home + "/Temp/Wandel.Sma.tmp"));
}
