// The motif through paint_probe's scripts: placing it by grid, copy and
// repetition, and the Edit menu's commands on the work bitmap and its
// untouched copy, the PCX exchange among them.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "kernel/model/bytes.h"
#include "pattern/motif/motif_exchange.h"
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

// The lines of a PCX file's pixels as they stand in the file: read with
// 255 as its own default colour, nothing is mapped.
std::vector<std::vector<uint8_t>> PcxLines(const std::string& pcx)
{
    const std::string bmp = TestHome() + "pcx-lines.bmp";
    EXPECT_TRUE(PcxToBmp(pcx, bmp, 255));
    const Bmp8 picture = ReadWork(bmp);
    std::vector<std::vector<uint8_t>> lines;
    for (int32_t y = 0; y < picture.height; ++y)
        lines.emplace_back(picture.Line(y), picture.Line(y) + picture.width);
    return lines;
}

std::vector<std::vector<uint8_t>> BmpLines(const std::string& path)
{
    const Bmp8 picture = ReadWork(path);
    std::vector<std::vector<uint8_t>> lines;
    for (int32_t y = 0; y < picture.height; ++y)
        lines.emplace_back(picture.Line(y), picture.Line(y) + picture.width);
    return lines;
}

// A 24-bit BMP of 0xRRGGBB pixels, the top line first.
std::string TrueColourBmp(const std::string& name, const std::vector<std::vector<uint32_t>>& lines)
{
    const auto width = static_cast<uint32_t>(lines[0].size());
    const auto height = static_cast<uint32_t>(lines.size());
    const uint32_t stride = (3 * width + 3) / 4 * 4;
    std::vector<uint8_t> b(54 + stride * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put_u32(b.data(), 2, static_cast<uint32_t>(b.size()));
    put_u32(b.data(), 10, 54);
    put_u32(b.data(), 14, 40);
    put_u32(b.data(), 18, width);
    put_u32(b.data(), 22, height);
    put_u16(b.data(), 26, 1);
    put_u16(b.data(), 28, 24);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t rgb = lines[height - 1 - y][x];
            uint8_t* at = b.data() + 54 + y * stride + 3 * x;
            at[0] = static_cast<uint8_t>(rgb);
            at[1] = static_cast<uint8_t>(rgb >> 8);
            at[2] = static_cast<uint8_t>(rgb >> 16);
        }
    return WriteTestFile(TestHome() + name, std::string(b.begin(), b.end()));
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
    // The untouched copy turns with the motif.
    RunScript("set 1 1 1 1\nset 1 2 1 2\nset 1 3 2 3\n" + Mark(1, 1, 4, 2) + "edit copy\n");
    const std::string before = ReadTestFile(Work());
    RunScript("set 1 1 1 1\nset 1 2 1 2\nset 1 3 2 3\n" + Mark(1, 1, 4, 2) + "edit copy\nedit flip-lr\n");
    EXPECT_NE(ReadTestFile(Work()), before);
    EXPECT_EQ(ReadTestFile(Work()), ReadTestFile(Work() + "O"));
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
        bool becomesTheCopy;  // a shear or turn is what later scaling starts from
    } cases[] = {
        {"stretch-both", "ev 1 1 1\nev 8 4 1\nev 8 4 0\n", "MOTIF 8 4", "tool=1 phase=0", false},
        {"stretch-height", "ev 4 3 1\nev 9 6 1\nev 9 6 0\n", "MOTIF 4 6", "motif=1,1,4,6", false},
        {"stretch-width", "ev 4 3 1\nev 9 6 1\nev 9 6 0\n", "MOTIF 9 3", "motif=1,1,9,3", false},
        {"distort-lr", "ev 2 2 1\nev 4 2 1\nev 4 2 0\n", "MOTIF 6 3", "motif=1,1,6,3", true},
        {"distort-tb", "ev 2 2 1\nev 2 1 1\nev 2 1 0\n", "MOTIF 4 4", "motif=1,1,4,4", true},
        {"rotate-any", "ev 4 3 1\nev 1 4 1\nev 1 4 0\n", "MOTIF 3 4", "tool=1 phase=0", true},
    };
    for (const auto& c : cases) {
        const std::string out = RunScript(Mark(1, 1, 4, 3) + "edit copy\nedit " + c.command + "\n" + c.drag);
        EXPECT_TRUE(Has(out, c.motif)) << c.command << "\n" << out;
        EXPECT_NE(out.find(c.state), std::string::npos) << c.command << "\n" << out;
        EXPECT_EQ(ReadTestFile(Work()) == ReadTestFile(Work() + "O"), c.becomesTheCopy) << c.command;
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

// Scaling after a turn or a mirror starts from the motif as it then
// stands: the doubled picture is the turned one, cell for cell.
TEST_F(MotifScript, ScalingKeepsAnEarlierTurnAndMirror)
{
    const std::string cells = "set 1 1 1 1\nset 1 2 1 2\nset 1 3 1 3\nset 1 4 1 4\nset 1 1 2 5\nset 1 2 2 6\n"
                              "set 1 3 2 7\nset 1 4 2 8\n" + Mark(1, 1, 4, 2) + "edit copy\n";
    for (const std::string turns : {"edit rotate90\n", "edit flip-lr\nedit rotate90\n", "edit flip-tb\n",
                                    "edit rotate180\n"}) {
        RunScript(cells + turns);
        const std::vector<std::vector<uint8_t>> turned = BmpLines(Work());
        const std::string out = RunScript(cells + turns + "edit double-both\n");
        const std::vector<std::vector<uint8_t>> doubled = BmpLines(Work());
        ASSERT_EQ(doubled.size(), 2 * turned.size()) << turns << out;
        for (size_t y = 0; y < doubled.size(); ++y) {
            ASSERT_EQ(doubled[y].size(), 2 * turned[0].size()) << turns;
            for (size_t x = 0; x < doubled[y].size(); ++x)
                EXPECT_EQ(doubled[y][x], turned[y / 2][x / 2]) << turns << " at " << x << ',' << y;
        }
        // Halving and doubling again still starts from the whole picture.
        RunScript(cells + turns + "edit half-both\nedit double-both\n");
        EXPECT_EQ(BmpLines(Work()), turned) << turns;
    }
}

// "Kopieren nach" while a motif is being moved writes the moving motif;
// the move goes on and sets it down where the mouse lets go.
TEST_F(MotifScript, CopyToDuringAMoveWritesTheMovingMotif)
{
    const std::string pcx = TestHome() + "B.pcx";
    const std::string out = RunScript("bg 6\nset 1 2 2 1\nset 1 3 2 2\nset 1 2 3 3\nset 1 3 3 4\n" +
                                      Mark(2, 2, 3, 3) + "edit copy\nedit paste\nev 10 10 0\nev 10 10 1\n"
                                      "ev 10 10 0\n" + Mark(2, 2, 3, 3) + "ev 15 15 0\ncopyto " + pcx +
                                      "\nprint\nev 15 15 1\nev 15 15 0\nprint\n");
    EXPECT_EQ(PcxLines(pcx), (std::vector<std::vector<uint8_t>>{{3, 4}, {1, 2}})) << out;
    EXPECT_NE(out.find("STATE tool=26 phase=2"), std::string::npos) << out;
    for (const char* placed : {"SET 1 15 15 1", "SET 1 16 15 2", "SET 1 15 16 3", "SET 1 16 16 4"})
        EXPECT_TRUE(Has(out, placed)) << placed << "\n" << out;
}

// Every colour keeps its index through PCX and BMP files; the transparent
// colour stays transparent and paints nothing when it comes back.
TEST_F(MotifScript, ExchangeKeepsEveryColourIndex)
{
    const std::string pcx = TestHome() + "M4.PCX";
    const std::string bmp = TestHome() + "M4.bmp";
    const std::string cells = "set 1 1 2 9\nset 1 2 2 0\nset 1 1 1 0\nset 1 2 1 5\n" + Mark(1, 1, 2, 2);
    RunScript(cells + "copyto " + pcx + "\n");
    RunScript(cells + "copyto " + bmp + "\n");
    const std::vector<std::vector<uint8_t>> want{{9, 0}, {0, 5}};
    EXPECT_EQ(PcxLines(pcx), want);
    EXPECT_EQ(BmpLines(bmp), want);

    const std::string holed = TestHome() + "holed.pcx";
    RunScript("set 1 1 1 255\nset 1 2 1 3\n" + Mark(1, 1, 2, 1) + "copyto " + holed + "\n");
    EXPECT_EQ(PcxLines(holed), (std::vector<std::vector<uint8_t>>{{255, 3}}));
    for (const std::string& file : {pcx, holed}) {
        // Cells set here count as the start: a SET line is a cell changed.
        const std::string out = RunScript("set 1 20 20 7\nset 1 21 20 7\nset 1 21 21 7\ninsert " + file +
                                          "\nev 20 20 0\nev 20 20 1\nev 20 20 0\n", {"--size", "40x30"});
        if (file == pcx) {
            EXPECT_TRUE(Has(out, "SET 1 20 21 9")) << out;
            EXPECT_TRUE(Has(out, "SET 1 21 21 0")) << out;
            EXPECT_TRUE(Has(out, "SET 1 20 20 0")) << out;
            EXPECT_TRUE(Has(out, "SET 1 21 20 5")) << out;
        } else {
            EXPECT_EQ(out.find("SET 1 20 20 "), std::string::npos) << out;
            EXPECT_TRUE(Has(out, "SET 1 21 20 3")) << out;
        }
    }
}

// A 24-bit picture has no palette to give: the program keeps its colours
// and every pixel takes the nearest of them.
TEST_F(MotifScript, TrueColourInsertKeepsTheProgramsColours)
{
    // Test palette entry i is (i, 3i mod 256, 255 - i).
    const std::string file = TrueColourBmp("true.bmp", {{0x050ffa, 0x0a1ef5, 0x000000}, {0x0b21f4, 0x0000ff, 0x1e5ae1}});
    const std::string out =
        RunScript("insert " + file + "\nev 20 20 0\nev 20 20 1\nev 20 20 0\n", {"--size", "40x30"});
    EXPECT_TRUE(Has(out, "MOTIF 3 2")) << out;
    for (const char* cell : {"SET 1 20 21 5", "SET 1 21 21 10", "SET 1 20 20 11", "SET 1 22 20 30"})
        EXPECT_TRUE(Has(out, cell)) << cell << "\n" << out;
    const Bmp8 work = ReadWork(Work());
    for (uint32_t i = 0; i < 32; ++i)
        EXPECT_EQ(work.colours[i], 0xff000000u | i << 16 | ((3 * i) % 256) << 8 | (255 - i)) << i;
}

}  // namespace
