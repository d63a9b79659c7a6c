// The motif through paint_probe's scripts: placing it by grid, copy and
// repetition, and the Edit menu's commands on the work bitmap and its
// untouched copy, the PCX exchange among them.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "picture/core/bmp8_file.h"
#include "tests/support/test_env.h"
#include "tests/tools/paint_probe/paint_script.h"

namespace {

std::string Work()
{
    return TestHome() + "Clip.bmp";
}

std::string RunScript(const std::string& script, std::vector<std::string> options = {})
{
    options.push_back("--work");
    options.push_back(Work());
    options.push_back("script");
    std::ostringstream out;
    std::istringstream in(script);
    PaintScript(ReadPaintScriptOptions(options), out).RunAll(in);
    return out.str();
}

bool Has(const std::string& output, const std::string& line)
{
    return output.find(line + "\n") != std::string::npos;
}

std::string Mark(int x1, int y1, int x2, int y2)
{
    return "button BereichMarkieren_SpeedButton left\nev " + std::to_string(x1) + ' ' + std::to_string(y1) +
           " 1\nev " + std::to_string(x2) + ' ' + std::to_string(y2) + " 1\nev " + std::to_string(x2) + ' ' +
           std::to_string(y2) + " 0\n";
}

Bmp8 ReadWork(const std::string& path)
{
    Bmp8 picture;
    std::string error;
    EXPECT_TRUE(ReadBmp8(path, picture, error)) << error;
    return picture;
}

class MotifScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove(Work());
        std::filesystem::remove(Work() + "O");
    }
};

TEST_F(MotifScript, GridCopyLandsOnTheMotifsGrid)
{
    std::string script = "bg 0\n";
    int v = 1;
    for (int y = 10; y <= 12; ++y)
        for (int x = 10; x <= 13; ++x)
            script += "set 1 " + std::to_string(x) + ' ' + std::to_string(y) + ' ' + std::to_string(v++) + '\n';
    const std::string out = RunScript(script + Mark(10, 10, 13, 12) + "button RasterKopie_SpeedButton left\nev 17 15 1\nev 17 15 0\n");
    EXPECT_TRUE(Has(out, "SET 1 14 13 1")) << out;
    EXPECT_TRUE(Has(out, "SET 1 17 15 12")) << out;
    EXPECT_TRUE(out.find("motif=14,13,17,15") != std::string::npos) << out;
}

TEST_F(MotifScript, RepeatedCopyStopsAtTheEdge)
{
    const std::string out = RunScript("bg 0\nset 1 1 1 4\nset 1 2 1 6\n" + Mark(1, 1, 2, 1) +
                                    "button Kopieren_SpeedButton left\nev 6 1 1\nev 6 1 0\n"
                                    "button Kopieren_SpeedButton right\nmulticopy 5\nev 11 1 1\nev 11 1 0\n",
                                {"--size", "30x5"});
    for (int x : {6, 11, 16, 21, 26}) {
        EXPECT_TRUE(Has(out, "SET 1 " + std::to_string(x) + " 1 4")) << x << out;
        EXPECT_TRUE(Has(out, "SET 1 " + std::to_string(x + 1) + " 1 6")) << x;
    }
    EXPECT_EQ(out.find("SET 1 28 1"), std::string::npos);
}

TEST_F(MotifScript, RelativeCopyWithoutAStepPlacesOnce)
{
    // Marked and placed where it was: no step, so no repetition.
    const std::string out = RunScript("bg 0\nset 1 1 1 4\n" + Mark(1, 1, 1, 1) +
                                "button Kopieren_SpeedButton left\nev 1 1 1\nev 1 1 0\nev 5 1 2\nev 5 1 0\n");
    EXPECT_EQ(out.find("SET 1 5 1 4"), std::string::npos) << out;
}

TEST_F(MotifScript, TransformationsStartFromTheUntouchedCopy)
{
    const std::string out = RunScript("bg 0\nset 1 1 1 3\n" + Mark(1, 1, 5, 3) + "edit copy\nprint\n");
    EXPECT_TRUE(Has(out, "MOTIF 5 3"));
    EXPECT_EQ(ReadTestFile(Work()), ReadTestFile(Work() + "O"));
    const Bmp8 copy = ReadWork(Work());
    EXPECT_EQ(copy.width, 5);
    EXPECT_EQ(copy.height, 3);
    EXPECT_EQ(copy.Line(2)[0], 3);  // the bottom line holds row 1

    const std::string scaled = RunScript("bg 0\n" + Mark(1, 1, 5, 3) +
                                   "edit copy\nedit half-width\nedit double-width\nedit half-both\nedit half-both\n"
                                   "edit half-both\n");
    const std::vector<std::string> want{"MOTIF 5 3", "MOTIF 2 3", "MOTIF 4 3", "MOTIF 2 1", "MOTIF 1 1", "MOTIF 1 1"};
    size_t at = 0;
    for (const std::string& w : want) {
        at = scaled.find(w + "\n", at);
        ASSERT_NE(at, std::string::npos) << w << "\n" << scaled;
        ++at;
    }
}

TEST_F(MotifScript, MirrorTwiceRestoresAndTheQuarterTurnSwapsTheSides)
{
    RunScript("set 1 1 1 1\nset 1 2 1 2\nset 1 3 2 3\n" + Mark(1, 1, 4, 2) + "edit copy\nedit flip-lr\n");
    const std::string once = ReadTestFile(Work());
    EXPECT_NE(once, ReadTestFile(Work() + "O"));
    RunScript("set 1 1 1 1\nset 1 2 1 2\nset 1 3 2 3\n" + Mark(1, 1, 4, 2) + "edit copy\nedit flip-lr\nedit flip-lr\n");
    EXPECT_EQ(ReadWork(Work()).pixels, ReadWork(Work() + "O").pixels);
    const std::string out = RunScript(Mark(1, 1, 4, 2) + "edit copy\nedit rotate90\n");
    EXPECT_TRUE(Has(out, "MOTIF 2 4")) << out;
}

// Stretching, shearing and turning by a drag, each from the untouched copy;
// the tool before comes back on release.
TEST_F(MotifScript, DragTransformations)
{
    const struct {
        const char* command;
        const char* drag;
        const char* motif;
        const char* state;
    } cases[] = {
        {"stretch-both", "ev 1 1 1\nev 8 4 1\nev 8 4 0\n", "MOTIF 8 4", "tool=1 phase=0"},
        {"stretch-height", "ev 4 3 1\nev 9 6 1\nev 9 6 0\n", "MOTIF 4 6", "motif=1,1,4,6"},
        {"stretch-width", "ev 4 3 1\nev 9 6 1\nev 9 6 0\n", "MOTIF 9 3", "motif=1,1,9,3"},
        {"distort-lr", "ev 2 2 1\nev 4 2 1\nev 4 2 0\n", "MOTIF 6 3", "motif=1,1,6,3"},
        {"distort-tb", "ev 2 2 1\nev 2 1 1\nev 2 1 0\n", "MOTIF 4 4", "motif=1,1,4,4"},
        {"rotate-any", "ev 4 3 1\nev 1 4 1\nev 1 4 0\n", "MOTIF 3 4", "tool=1 phase=0"},
    };
    for (const auto& c : cases) {
        const std::string out = RunScript(Mark(1, 1, 4, 3) + "edit copy\nedit " + c.command + "\n" + c.drag);
        EXPECT_TRUE(Has(out, c.motif)) << c.command << "\n" << out;
        EXPECT_NE(out.find(c.state), std::string::npos) << c.command << "\n" << out;
        EXPECT_NE(ReadTestFile(Work()), ReadTestFile(Work() + "O")) << c.command;
    }
}

// The right button marks the region of the cell's colour: lifted out with
// the background colour, it moves with tool 26; cells around it are
// transparent and stay.
TEST_F(MotifScript, ColourRegionBecomesTheMotif)
{
    const std::string out = RunScript("bg 0\nset 1 3 3 5\nset 1 4 3 5\nset 1 4 4 5\nset 1 3 4 8\n"
                                      "button BereichMarkieren_SpeedButton left\nev 3 3 2\nev 3 3 0\nprint\n"
                                      "ev 10 10 1\nev 10 10 0\n");
    EXPECT_TRUE(Has(out, "MOTIF 2 2")) << out;
    EXPECT_TRUE(Has(out, "STATE tool=26 phase=2 previous=4 steps=1 records=3 motif=3,3,4,4")) << out;
    EXPECT_TRUE(Has(out, "SET 1 10 10 5"));
    EXPECT_TRUE(Has(out, "SET 1 11 11 5"));
    EXPECT_FALSE(Has(out, "SET 1 10 11 5"));
    EXPECT_FALSE(Has(out, "SET 1 3 4 0"));
}

TEST_F(MotifScript, ExchangeThroughPcx)
{
    const std::string pcx = TestHome() + "muster.PCX";
    RunScript("set 1 1 2 7\nset 1 2 2 7\nset 1 3 2 7\nset 1 4 2 62\nset 1 5 2 63\nset 1 3 1 200\nset 1 4 1 200\n"
        "set 1 5 1 200\n" + Mark(1, 1, 5, 2) + "copyto " + pcx + "\n");
    EXPECT_EQ(std::filesystem::file_size(pcx), 906u);
    std::filesystem::remove(Work());
    const std::string out =
        RunScript("insert " + pcx + "\nprint\nev 20 20 0\nev 20 20 1\nev 20 20 0\n", {"--size", "40x30"});
    EXPECT_TRUE(Has(out, "MOTIF 5 2"));
    EXPECT_TRUE(Has(out, "CAPTION " + pcx + "  (5x2)")) << out;
    EXPECT_TRUE(Has(out, "STATE tool=29 phase=0 previous=1 steps=0 records=0 motif=1,1,5,2")) << out;
    EXPECT_TRUE(Has(out, "SET 1 20 21 7"));
    EXPECT_TRUE(Has(out, "SET 1 24 21 63"));
    EXPECT_TRUE(Has(out, "SET 1 22 20 200"));
    EXPECT_FALSE(Has(out, "SET 1 20 20 0"));
    EXPECT_EQ(ReadTestFile(Work()), ReadTestFile(Work() + "O"));
}

// A file that cannot be read warns and leaves the work bitmap; a name of
// another kind is not read at all.
TEST_F(MotifScript, FailedInsertKeepsTheMotif)
{
    RunScript(Mark(1, 1, 2, 2) + "edit copy\n");
    const std::string before = ReadTestFile(Work());
    const std::string bad = WriteTestFile(TestHome() + "bad.pcx", std::string(50, '\x0a'));
    const std::string gif = WriteTestFile(TestHome() + "x.gif", "GIF89a");
    const std::string out = RunScript("insert " + bad + "\ninsert " + gif + "\n");
    EXPECT_TRUE(Has(out, "MSG Fehler beim \xc3\x96" "ffnen der Eingabedatei " + bad)) << out;
    EXPECT_EQ(out.find("MOTIF"), std::string::npos);
    EXPECT_EQ(ReadTestFile(Work()), before);
}

}  // namespace
