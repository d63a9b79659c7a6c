// The shape routines' checks as one table, run in-process and through
// shape_probe: the cells each case changes, the frames it shows and the
// lines that follow them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "shaperun.h"
#include "tests/support/test_env.h"

namespace {

struct Cell {
    long x, y;
    bool operator<(const Cell& o) const { return y != o.y ? y < o.y : x < o.x; }
    bool operator==(const Cell& o) const = default;
};

// "y:x1-x2,x3;y:..." with "x1-x2/2" for every second column.
std::vector<Cell> Cells(const std::string& text)
{
    std::set<Cell> cells;
    std::stringstream rows(text);
    std::string row;
    while (std::getline(rows, row, ';')) {
        const size_t colon = row.find(':');
        const long y = std::stol(row.substr(0, colon));
        std::stringstream columns(row.substr(colon + 1));
        std::string part;
        while (std::getline(columns, part, ',')) {
            long from = std::stol(part);
            long to = from;
            long step = 1;
            if (const size_t dash = part.find('-', 1); dash != std::string::npos)
                to = std::stol(part.substr(dash + 1));
            if (const size_t slash = part.find('/'); slash != std::string::npos)
                step = std::stol(part.substr(slash + 1));
            for (long x = from; x <= to; x += step)
                cells.insert({x, y});
        }
    }
    return {cells.begin(), cells.end()};
}

struct ShapeCase {
    const char* name;
    const char* args;  // {T} stands for the test folder
    const char* set;   // the cells that change, to `value`
    int value;
    const char* frames;  // the cells framed
    int frameCount;      // how many frames (-1: one each)
    std::vector<std::string> lines;  // every other line, in order
    int status = 0;
};

// 8 x 6 zeros, a wall of 1 from (1,5) down to (5,1), a hole of 2 at (6,4) (7,4).
std::string WallGrid()
{
    std::string g(48, '\0');
    for (int i = 0; i < 5; ++i)
        g[static_cast<size_t>((4 - i) * 8 + i)] = 1;
    g[3 * 8 + 5] = g[3 * 8 + 6] = 2;
    return g;
}

// 2000 x 3: row 2 zeros, rows 1 and 3 a comb of one-cell teeth.
std::string CombGrid()
{
    std::string g(6000, '\0');
    for (size_t x = 1; x < 2000; x += 2)
        g[x] = g[4000 + x] = 1;
    return g;
}

void WriteGrids()
{
    WriteTestFile(TestHome() + "wall.bin", WallGrid());
    std::string reference(48, '\0');
    reference[4 * 8 + 7] = reference[5 * 8 + 7] = 9;
    WriteTestFile(TestHome() + "wall9.bin", reference);
    WriteTestFile(TestHome() + "comb.bin", CombGrid());
    // 12 x 6 zeros with colour 5 at (4,3).
    std::string guarded(72, '\0');
    guarded[2 * 12 + 3] = 5;
    WriteTestFile(TestHome() + "guarded.bin", guarded);
}

const std::string kWallMotif = "MOTIF 1 1 8 6";

const ShapeCase kCases[] = {
    // Lines.
    {"BrushFromOutsideClampsItsStart", "brush 0 0 5 2", "1:1,2;2:3-5", 7, "", 0, {"END 5 2", "UNDO 5"}},
    {"StepLineIgnoresCoordinatesBelowOne", "stepline 0 0 5 2", "", 7, "", 0, {}},
    {"FlatLineSpreadsTheExtraColumn", "brush 1 1 10 3", "1:1-3;2:4-6;3:7-10", 7, "", 0, {"END 10 3", "UNDO 10"}},
    {"SlopeTwoToTheRightEndsInside", "--slope 21 brush 10 10 13 10", "10:10-12", 7, "", 0, {"END 12 10", "UNDO 4"}},
    {"SlopeTwoToTheLeftEndsBeyond", "--slope 21 brush 13 10 10 10", "10:9-13", 7, "", 0, {"END 9 10", "UNDO 7"}},
    {"WidthOneIsATwoCellSquare", "--width 1 brush 4 4 4 4", "4:4-5;5:4-5", 7, "", 0, {"END 4 4", "UNDO 4"}},
    {"GapLegBrushKeepsAProtectedCellInItsUpperRow",
     "--size 12x6 --cells {T}guarded.bin --protect 5 --slope 21 --width 1 brush 2 2 8 2", "2:2-9;3:2-3,5-9", 7, "",
     0, {"END 8 2", "UNDO 40"}},
    {"StaircaseBrushKeepsAProtectedCell",
     "--size 12x6 --cells {T}guarded.bin --protect 5 --width 1 --type stair brush 3 2 6 5",
     "2:3-4;3:3,5;4:4-6;5:5-7;6:6-7", 7, "", 0, {"END 6 5", "UNDO 16"}},
    {"ThickLegsBelowThePictureStillReachTheBottomRow", "--size 12x10 --slope 21 --width 1 brush 2 3 4 -3",
     "1:2-5;2:2-3;3:2-3;4:2-3", 7, "", 0, {"END 2 1", "UNDO 30"}},
    {"StepLineFramesWhatBrushPaints", "stepline 1 1 10 3", "", 7, "1:1-3;2:4-6;3:7-10", -1, {}},
    // Staircase.
    {"Staircase23", "--type stair --slope 23 span 5 5 9 11", "5:5;6:5;7:5;8:5-7;9:7;10:7;11:7-9", 7, "", 0,
     {"END 9 11", "UNDO 11"}},
    {"StaircaseOutsideTheVisibleArea", "--type stair --slope 23 --visible 20,20,10,10 span 5 5 9 11", "", 7, "", 0,
     {"END 9 11", "UNDO 0"}},
    {"StaircaseBrushGoesToTheStaircase", "--type stair --slope 23 brush 5 5 9 11", "5:5;6:5;7:5;8:5-7;9:7;10:7;11:7-9",
     7, "", 0, {"END 9 11", "UNDO 11"}},
    {"StaircasePreviewStoresItsEnd", "--type stair prespan 5 5 8 7", "", 7, "5:5;6:6;7:7;8:8", -1, {"END 8 8"}},
    // Snap.
    {"SnapRatioFive", "snap 10 1", "", 7, "", 0, {"SNAP 9 1"}},
    {"SnapRatioFiveShortened", "snap 18 3", "", 7, "", 0, {"SNAP 14 2"}},
    {"SnapStraight", "snap 6 0", "", 7, "", 0, {"SNAP 6 0"}},
    {"SnapRatioTwoAtOneAndAHalf", "snap 2 1", "", 7, "", 0, {"SNAP 1 0"}},
    {"SnapDiagonalKeepsSigns", "snap -4 -3", "", 7, "", 0, {"SNAP -3 -3"}},
    // Circles and ellipses.
    {"CircleFrame", "circle frame 10 10 13 10", "7:9-11;8:8,12;9:7,13;10:7,13;11:7,13;12:8,12;13:9-11", 7, "", 0,
     {"UNDO 24", "REDRAW 7 7 14 14"}},
    {"CircleFilled", "circle filled 10 10 13 10", "7:9-11;8:8-12;9:7-13;10:7-13;11:7-13;12:8-12;13:9-11", 7, "", 0,
     {"UNDO 56", "REDRAW 7 7 14 14"}},
    {"CirclePreview", "circle preview 10 10 13 10", "", 7,
     "7:9-11;8:8,12;9:7,13;10:7,13;11:7,13;12:8,12;13:9-11", 24, {}},
    {"FilledCircleWiderThanThePictureFillsItsRows", "--size 5x5 circle filled 3 3 3 9", "1:1-5;2:1-5;3:1-5;4:1-5;5:1-5",
     7, "", 0, {"UNDO 30", "REDRAW -3 -3 10 10"}},
    {"CircleOfRadiusZeroIsItsCentre", "circle frame 10 10 10 10", "10:10", 7, "", 0, {"UNDO 8", "REDRAW 10 10 11 11"}},
    {"EllipseFilled", "ellipse filled 1 1 5 3", "1:2-4;2:1-5;3:2-4", 7, "", 0, {"UNDO 40", "REDRAW 0 0 5 3"}},
    {"EllipseOfOneCell", "ellipse frame 4 4 4 4", "4:4", 7, "", 0, {"UNDO 8", "REDRAW 3 3 4 4"}},
    // Rhombus.
    {"Rhombus", "rhombus 10 10 14 30", "10:8-10;11:7,11,12;12:7,13,14;13:7,8,12,13;14:9-11;15:10", 7, "", 0,
     {"UNDO 19"}},
    {"PolygonPreviewsTheRhombus", "polygon 10 10 14 30", "", 7,
     "10:8-10;11:7,11,12;12:7,13,14;13:7,8,12,13;14:9-11;15:10", 19, {}},
    {"StaircaseRhombus", "--type stair rhombus 10 10 14 30",
     "10:10;11:9,11;12:8,12;13:7,13;14:7,14;15:7,13;16:8,12;17:9,11;18:10;19:10", 7, "", 0, {"UNDO 19"}},
    {"RhombusDraggedLeftIsNothing", "rhombus 10 10 9 30", "", 7, "", 0, {"UNDO 0"}},
    // Arc.
    {"Arc", "--tool 9 arc paint 10 10 20 10 15 13", "10:10,20;11:11,19;12:12,18;13:13-17", 7, "", 0,
     {"UNDO 22", "REDRAW 10 10 20 13", "STATUS 3 0"}},
    {"FlatArcOfAnEvenChordIsTheChord", "--tool 9 arc paint 5 5 15 5 10 5", "5:5-15", 7, "", 0,
     {"UNDO 22", "REDRAW 5 5 15 5", "STATUS 3 0"}},
    {"BulgedArcEndsOnTheChordEnd", "--tool 9 arc paint 5 5 15 5 10 8",
     "5:5,15;6:6,14;7:7,13;8:8-12", 7, "", 0, {"UNDO 22", "REDRAW 5 5 15 8", "STATUS 3 0"}},
    {"FlatArcIsTheChordOneColumnLonger", "--tool 9 arc paint 10 10 21 10 15 10", "10:10-21", 7, "", 0,
     {"UNDO 22", "REDRAW 10 10 21 10", "STATUS 3 0"}},
    {"ArcPreviewShowsTheSlope", "--tool 9 arc preview 10 10 20 15 15 15", "", 7, "", -2, {"STATUS 3 0.5"}},
    {"ShortChordIsDrawnAlone", "--tool 9 arc paint 10 10 11 11 12 10", "10:10;11:11", 7, "", 0,
     {"UNDO 2", "REDRAW 10 10 11 11", "STATUS 3 1"}},
    // Fill.
    {"FillStopsAtTheWallWithoutLeaking", "--size 8x6 --cells {T}wall.bin --colour 3 fill paint 8 6",
     "1:6-8;2:5-8;3:4-8;4:3-5,8;5:2-8;6:1-8", 3, "", 0,
     {"FILL 1 LOWEST 1 SPILLED 0", "UNDO 31", "REDRAW 1 1 8 6"}},
    {"FillBelowTheWall", "--size 8x6 --cells {T}wall.bin --colour 3 fill paint 1 1", "1:1-4;2:1-3;3:1-2;4:1", 3, "",
     0, {"FILL 1 LOWEST 1 SPILLED 0", "UNDO 10", "REDRAW 1 1 4 4"}},
    {"FillThroughProtectedCellsPaintsTheTransparentHole",
     "--size 8x6 --cells {T}wall.bin --colour 3 --transparent 2 --protect 0 fill paint 8 6", "4:6-7", 3, "", 0,
     {"FILL 1 LOWEST 1 SPILLED 0", "UNDO 2", "REDRAW 1 1 8 6"}},
    {"FillMatchesTheReferenceLevel",
     "--size 8x6 --cells {T}wall.bin --cells2 {T}wall9.bin --reference 2 --colour 3 fill paint 1 6",
     "1:6-8;2:5-8;3:4-8;4:3-5,8;5:2-7;6:1-7", 3, "", 0, {"FILL 1 LOWEST 1 SPILLED 0", "UNDO 29", "REDRAW 1 1 8 6"}},
    {"FillWithAColourAbove127", "--size 8x6 --cells {T}wall.bin --colour 200 fill paint 8 6",
     "1:6-8;2:5-8;3:4-8;4:3-5,8;5:2-8;6:1-8", 200, "", 0,
     {"FILL 1 LOWEST 1 SPILLED 0", "UNDO 31", "REDRAW 1 1 8 6"}},
    {"FillSearchTakesTheRegionAsMotif", "--size 8x6 --cells {T}wall.bin fill search 8 6", "", 7, "", 0,
     {"FILL 1 LOWEST 1 SPILLED 0", "UNDO 0", kWallMotif, "0000000000000000", "ff00000000000000",
      "ffff000000ffff00", "ffffff0000000000", "ffffffff00000000", "ffffffffff000000"}},
    // Spill.
    {"CombSpillsIntoTheSeedFile", "--size 2000x3 --cells {T}comb.bin --colour 5 --fill-file {T}T/Fuell.Tmp fill paint 1 2",
     "1:1-1999/2;2:1-2000;3:1-1999/2", 5, "", 0,
     {"FILL 1 LOWEST 1 SPILLED 1000", "UNDO 4000", "REDRAW 1 1 2000 3"}},
    {"SeedFileFailureStopsTheFill",
     "--size 2000x3 --cells {T}comb.bin --colour 5 --fill-file /nonexistent/Fuell.Tmp fill paint 1 2", "", 5, "", 0,
     {"FILL 0 LOWEST 65535 SPILLED 0", "UNDO 0"}, 1},
};

std::string Substitute(std::string args)
{
    for (size_t at; (at = args.find("{T}")) != std::string::npos;)
        args.replace(at, 3, TestHome());
    return args;
}

ProbeArgs Words(const std::string& text)
{
    ProbeArgs words;
    std::stringstream in(text);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::vector<std::string> Expected(const ShapeCase& c, const std::vector<std::string>& frames)
{
    std::vector<std::string> lines;
    for (const Cell& cell : Cells(c.set))
        lines.push_back("SET " + std::to_string(cell.x) + " " + std::to_string(cell.y) + " " +
                        std::to_string(c.value));
    lines.insert(lines.end(), frames.begin(), frames.end());
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    return lines;
}

// The output's FRAME lines must frame exactly the case's cells, as often
// as it says; the other lines are compared as they stand.
void Check(const ShapeCase& c, const std::string& out, int status)
{
    SCOPED_TRACE(c.name);
    EXPECT_EQ(status, c.status);
    std::vector<std::string> lines = SplitLines(out);
    std::vector<std::string> frameLines;
    std::set<Cell> framed;
    for (const std::string& line : lines) {
        if (line.rfind("FRAME ", 0) != 0)
            continue;
        frameLines.push_back(line);
        std::stringstream in(line.substr(6));
        Cell cell{};
        in >> cell.x >> cell.y;
        framed.insert(cell);
    }
    const std::vector<Cell> want = Cells(c.frames);
    if (c.frameCount != -2) {
        EXPECT_EQ(std::vector<Cell>(framed.begin(), framed.end()), want);
        EXPECT_EQ(frameLines.size(), c.frameCount == -1 ? want.size() : static_cast<size_t>(c.frameCount));
    }
    EXPECT_EQ(lines, Expected(c, frameLines));
}

class ShapeChecks : public testing::TestWithParam<ShapeCase> {};

TEST_P(ShapeChecks, InProcess)
{
    WriteGrids();
    std::filesystem::create_directories(TestHome() + "T");
    std::string out;
    const int status = RunShapes(Words(Substitute(GetParam().args)), out);
    Check(GetParam(), out, status);
    EXPECT_FALSE(std::filesystem::exists(TestHome() + "T/Fuell.Tmp"));
}

TEST_P(ShapeChecks, ThroughTheProbe)
{
    WriteGrids();
    std::filesystem::create_directories(TestHome() + "T");
    std::string out;
    const int status = RunCommand(ToolsFolder() + "shape_probe " + Substitute(GetParam().args), &out);
    Check(GetParam(), out, status);
    EXPECT_FALSE(std::filesystem::exists(TestHome() + "T/Fuell.Tmp"));
}

INSTANTIATE_TEST_SUITE_P(Table, ShapeChecks, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ShapeCase>& info) { return info.param.name; });

TEST(ShapeProbe, BadUsageExitsWithTwo)
{
    for (const char* args : {"", "wobble 1 2", "brush 1 2 3", "--type zigzag brush 1 1 2 2", "ellipse round 1 1 2 2",
                             "--size 0x5 brush 1 1 1 1", "--cells", "brush 1 1 1 x"}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(RunCommand(ToolsFolder() + "shape_probe " + args + " 2>/dev/null"), 2);
    }
}

TEST(ShapeProbe, FillPatternTakesHexBytes)
{
    std::string out;
    EXPECT_EQ(RunCommand(ToolsFolder() + "shape_probe --size 5x2 --pattern 2x1,1,1,0a1f brush 1 1 4 1", &out), 0);
    EXPECT_EQ(out, "SET 1 1 10\nSET 2 1 31\nSET 3 1 10\nSET 4 1 31\nEND 4 1\nUNDO 4\n");
    EXPECT_EQ(RunCommand(ToolsFolder() + "shape_probe --size 5x2 --pattern 2x1,1,1,0a1g brush 1 1 4 1 2>/dev/null"), 2);
}

TEST(ShapeProbe, ShortCellsFileIsAnError)
{
    WriteTestFile(TestHome() + "short.bin", std::string(10, '\0'));
    std::string out;
    EXPECT_EQ(RunCommand(ToolsFolder() + "shape_probe --cells " + TestHome() + "short.bin brush 1 1 1 1", &out), 1);
    EXPECT_EQ(out.rfind("ERROR ", 0), 0u) << out;
}

}  // namespace

namespace {

TEST(ShapeProbe, SeedFileThatCannotGrowIsDeleted)
{
    // The file takes 256 seeds, then writes fail: the fill stops with the
    // file partly written, and it is gone afterwards.
    WriteTestFile(TestHome() + "comb.bin", CombGrid());
    const std::string file = TestHome() + "Fuell.Tmp";
    std::string out;
    const int status = RunCommand("bash -c \"trap '' XFSZ; ulimit -f 1; " + ToolsFolder() +
                                      "shape_probe --size 2000x3 --cells " + TestHome() +
                                      "comb.bin --fill-file " + file + " fill paint 1 2\"",
                                  &out);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(SplitLines(out), (std::vector<std::string>{"FILL 0 LOWEST 65535 SPILLED 256", "UNDO 0"}));
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
