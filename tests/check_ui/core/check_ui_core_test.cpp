#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "check/ui/core/export_end_plan.h"
#include "platform/frame_pace.h"
#include "check/ui/core/gtest_run_state.h"
#include "check/ui/core/ma_typ_caption.h"
#include "check/ui/core/ptest_panel_texts.h"
#include "check/ui/core/sim_row_cache.h"
#include "check/ui/core/sim_row_painter.h"
#include "check/ui/core/sim_status_text.h"
#include "check/ui/core/stroke_label.h"
#include "simlib/vpsimmod_abi.h"
#include "tests/check_ui/core/fake_sim_rows.h"
#include "tests/support/test_env.h"

namespace {

using Mode = GTestRunState::Mode;

TEST(FramePace, OnceAFrameAndAtOnceAfterAReset)
{
    int64_t now = 1000;
    FramePace pace([&now] { return now; });
    struct Step {
        int64_t advance;
        bool reset;
        bool due;
    };
    // A frame is 16 ms from the last frame, not from the last look.
    const Step steps[] = {{0, false, true},  {0, false, false},  {15, false, false}, {1, false, true},
                          {10, false, false}, {10, false, true}, {2, true, true},    {1, false, false},
                          {16, false, true}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        now += steps[i].advance;
        if (steps[i].reset)
            pace.Reset();
        EXPECT_EQ(pace.Due(), steps[i].due) << "step " << i;
    }
}

TEST(GTestRunState, StepsWaitAndCloseOnlyStopsARunningWalk)
{
    GTestRunState s;
    EXPECT_FALSE(s.Press(false)) << "no library yet";
    s.LibraryStarted();
    EXPECT_TRUE(s.Press(true)) << "the first press runs the check";
    EXPECT_EQ(s.mode(), Mode::StopAfterStroke);
    EXPECT_TRUE(s.AfterStroke(false));
    EXPECT_EQ(s.mode(), Mode::Waiting);
    EXPECT_FALSE(s.Press(true)) << "a later press only changes the mode";
    EXPECT_EQ(s.mode(), Mode::StopAfterStroke);
    EXPECT_FALSE(s.AfterStroke(true)) << "remote control never waits";
    EXPECT_EQ(s.mode(), Mode::Fast);
    EXPECT_EQ(s.Close(true), GTestRunState::CloseAnswer::Refuse) << "a fast run is stopped, not closed";
    EXPECT_EQ(s.mode(), Mode::Aborted);
    s.RunEnded();
    EXPECT_EQ(s.mode(), Mode::Aborted);
    EXPECT_EQ(s.Close(false), GTestRunState::CloseAnswer::Carry);
    s.Reset();
    EXPECT_EQ(s.mode(), Mode::Created);

    GTestRunState e;
    e.LibraryStarted();
    e.Press(false);
    e.RunEnded();
    EXPECT_EQ(e.mode(), Mode::Ended);
    EXPECT_FALSE(e.Press(false)) << "an ended run starts nothing";
    EXPECT_EQ(e.Close(true), GTestRunState::CloseAnswer::Carry);
}

// -- the row cache -----------------------------------------------------------

struct CellCase {
    const char* what;
    SimDisplaySwitches sw;
    int8_t third;
    int32_t y;
    uint8_t shape, xOffset, c2;
};

TEST(SimRowCache, CellColoursFollowTheSwitches)
{
    const std::vector<CellCase> cases = {
        {"plain: c2 is the background", {}, 40, 1, 3, 2, 7},
        {"grid: shape + 128, no offset", {true, false, false, false}, 40, 1, 131, 0, 7},
        {"old yarn shown: -2 is 254", {false, true, false, false}, vpsim::kThirdOldYarn, 1, 3, 2, 254},
        {"old yarn shown: passing yarn", {false, true, false, false}, 40, 1, 3, 2, 40},
        {"old yarn shown: -1 is the background", {false, true, false, false}, vpsim::kThirdNone, 1, 3, 2, 7},
        {"carrier bar above the fabric", {false, false, true, false}, 41, 3, 3, 2, 41},
        {"carriers on, fabric row", {false, false, true, false}, 41, 2, 3, 2, 7},
    };
    for (const CellCase& c : cases) {
        FakeSimRows src;
        for (uint16_t y = 1; y <= 3; ++y)
            src.rows[y] = FakeSimRows::Uniform(4, 3, 33, c.third, 7, 2);
        SimRowCache cache(src);
        cache.SetSwitches(c.sw);
        cache.SetFabricRows(2);
        const SimCell cell = cache.GetSimCell(2, c.y);
        EXPECT_EQ(cell.shape, c.shape) << c.what;
        EXPECT_EQ(cell.xOffset, c.xOffset) << c.what;
        EXPECT_EQ(cell.c[0], 7) << c.what;
        EXPECT_EQ(cell.c[1], 33) << c.what;
        EXPECT_EQ(cell.c[2], c.c2) << c.what;
        EXPECT_EQ(cell.c[3], 255) << c.what;
        EXPECT_EQ(src.lastOldYarnHidden, !c.sw.oldYarn) << c.what;
    }
}

TEST(SimRowCache, FetchesOncePerRowAndReadsPastTheRowAsEmpty)
{
    FakeSimRows src;
    src.rows[1] = FakeSimRows::Uniform(3, 200, 33, -1, 5);
    SimRowCache cache(src);
    cache.SetSwitches({true, false, false, false});
    EXPECT_EQ(cache.GetSimCell(0, 1).shape, 128 + (200 & 127)) << "x 0 reads cell 1; shape stays in the table";
    cache.GetSimCell(3, 1);
    EXPECT_EQ(src.reads, 1);
    const SimCell past = cache.GetSimCell(9, 1);
    EXPECT_EQ(past.shape, 128);
    EXPECT_EQ(past.c[1], 5);
    cache.Drop();
    cache.GetSimCell(1, 1);
    EXPECT_EQ(src.reads, 2);
    const SimCell none = cache.GetSimCell(1, 7);
    EXPECT_EQ(none.c[0], 0) << "a row the library does not give is empty";
}

TEST(SimRowCache, OnePixelCellsShowTheYarnWhereAShapeIs)
{
    FakeSimRows src;
    src.rows[1] = FakeSimRows::Uniform(3, 0, 33, -1, 5);
    src.rows[1].shape[1] = 1;
    SimRowCache cache(src);
    const auto cells = cache.DisplayCells(1, 1);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], 5);
    EXPECT_EQ(cells[1], 33);
    EXPECT_EQ(cache.DisplayCells(3, 1).size(), 1u);
    EXPECT_TRUE(cache.DisplayCells(4, 1).empty());
}

// -- the painter ---------------------------------------------------------------

// Palette entry i = (i, 3i mod 256, 255 - i).
std::array<uint32_t, 256> TestPalette()
{
    std::array<uint32_t, 256> p{};
    for (uint32_t i = 0; i < 256; ++i)
        p[i] = 0xff000000u | (i << 16) | (((3 * i) % 256) << 8) | (255 - i);
    return p;
}

struct Canvas {
    int w, h;
    std::vector<uint32_t> px;
    Canvas(int width, int height) : w(width), h(height), px(size_t(width * height), 0) {}
    PixelView View() { return {px.data(), w, h, w}; }
    uint32_t At(int x, int y) const { return px[size_t(y * w + x)]; }
};

BandRequest Band(Canvas& c, int columns, int rows)
{
    BandRequest b;
    b.firstColumn = 1;
    b.firstRow = 1;
    b.columns = columns;
    b.rows = rows;
    b.cellWidth = 4;
    b.cellHeight = 4;
    b.accentColour = kSimGridColour;
    b.target = c.View();
    return b;
}

TEST(SimRowPainter, CodesGridUnknownShapesAndMarks)
{
    const auto palette = TestPalette();
    const auto tables = TestShapeTables();
    const auto shapes = SimRowPainter::ShapesOfWidth(tables, 4);
    FakeSimRows src;
    for (uint16_t y = 1; y <= 12; ++y)
        src.rows[y] = FakeSimRows::Uniform(3, 0, 17, -1, 0);
    src.rows[1].shape = {1, 9, 0};
    SimRowCache cache(src);
    cache.SetFabricRows(12);
    SimRowPainter painter(cache);
    Canvas c(12, 48);
    SimPaintSettings s{shapes, &palette, 10, {}, {}};
    ASSERT_TRUE(painter.DrawRowsCustom2(Band(c, 3, 12), s));
    // Row 1 is the bottom band of 4 pixel lines.
    EXPECT_EQ(c.At(0, 47), 0xff1133eeu) << "code 1 shows c1 (17)";
    EXPECT_EQ(c.At(4, 47), 0xff0000ffu) << "shape 9 is filled with code 9: unknown, the background";
    EXPECT_EQ(c.At(8, 47), 0xff0000ffu) << "code 0";

    cache.SetSwitches({true, false, false, false});
    ASSERT_TRUE(painter.DrawRowsCustom2(Band(c, 3, 12), s));
    EXPECT_EQ(c.At(3, 45), 0xffd68229u) << "last column of a grid shape";
    EXPECT_EQ(c.At(1, 47), 0xffd68229u) << "last line";
    EXPECT_EQ(c.At(0, 44), 0xff1133eeu);

    cache.SetSwitches({});
    s.marks = {1, 3, 5};
    ASSERT_TRUE(painter.DrawRowsCustom2(Band(c, 3, 12), s));
    for (int row = 1; row <= 12; ++row) {
        const int y = 48 - 4 * row + 1;
        const uint32_t want = row >= 5 && row <= 10 ? 0xff0000ffu : 0xffda8e25u;
        EXPECT_EQ(c.At(8, y), want) << "cell row " << row;
    }
}

TEST(SimRowPainter, BackRowsShiftIntoTheNeighbourAndStayInsideTheBand)
{
    const auto palette = TestPalette();
    const auto tables = TestShapeTables();
    const auto shapes = SimRowPainter::ShapesOfWidth(tables, 4);
    FakeSimRows src;
    src.rows[1] = FakeSimRows::Uniform(5, 1, 17, -1, 0, 2);
    src.rows[1].shape[0] = 0;  // the cell left of the band: nothing
    SimRowCache cache(src);
    cache.SetFabricRows(1);
    SimRowPainter painter(cache);
    Canvas c(16, 4);
    std::fill(c.px.begin(), c.px.end(), 0xff123456u);
    BandRequest b = Band(c, 2, 1);
    b.firstColumn = 2;
    b.leftPixel = 4;
    ASSERT_TRUE(painter.DrawRowsCustom2(b, {shapes, &palette, 10, {}, {}}));
    EXPECT_EQ(c.At(3, 0), 0xff123456u) << "left of the band untouched";
    EXPECT_EQ(c.At(4, 0), 0xff0000ffu) << "the extra column's shape reaches in";
    EXPECT_EQ(c.At(6, 0), 0xff1133eeu) << "column 2 drawn 2 pixels right";
    EXPECT_EQ(c.At(12, 0), 0xff123456u) << "right of the band untouched";
    EXPECT_TRUE(painter.DrawRowsCustom2(b, {shapes, &palette, 10, {}, [] { return false; }}));
    EXPECT_FALSE(painter.DrawRowsCustom2(b, {shapes, &palette, 10, {}, [] { return true; }}));
}

TEST(SimRowPainter, ShapeTablesByWidth)
{
    std::vector<uint8_t> tables(vpsim::kShapeBytes, 0);
    EXPECT_EQ(SimRowPainter::ShapesOfWidth(tables, 4).size(), 256u * 4 * 4);
    EXPECT_EQ(SimRowPainter::ShapesOfWidth(tables, 2).data(), tables.data());
    EXPECT_TRUE(SimRowPainter::ShapesOfWidth(tables, 1).empty());
    EXPECT_TRUE(SimRowPainter::ShapesOfWidth(std::span<const uint8_t>(tables).first(100), 3).empty());
}

// -- texts -----------------------------------------------------------------------

TEST(StrokeLabel, NumbersUpToTheBlank)
{
    struct Case {
        const char* label;
        int32_t s, z;
        int system;
    };
    const std::vector<Case> cases = {
        {"S0003 Z0012 System2 YV0001 YH0001", 3, 12, 2},
        {"S0003 Z12345 System4", 3, 12345, 4},
        {"Z0012 System2", 0, 0, 0},
        {"S0000 Z0000 System1", 0, 0, 1},
        {"S0003 Z20001 System1", 3, 0, 1},
        {"S00x3 Z0001", 0, 1, 0},
        {"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const StrokeLabel l = ParseStrokeLabel(c.label, "System");
        EXPECT_EQ(l.sLine, c.s) << c.label;
        EXPECT_EQ(l.zRow, c.z) << c.label;
        EXPECT_EQ(l.system, c.system) << c.label;
    }
}

TEST(SimStatusText, PartsOnlyWhenTheySaySomething)
{
    const SimStatusWords words;
    SimCellInfo info{"S0003 Z0012 System2 YV0001 YH0001", 2, "12", 3};
    EXPECT_EQ(SimStatusText(info, words), "S0003 Z0012 System2 YV0001 YH0001 Ff 2A Festigkeit 12 Versatz 3: L");
    EXPECT_EQ(SimHintText(info, words), "S0003 Z0012 System2 YV0001 YH0001\nFf 2A\nFestigkeit 12\nVersatz 3: L");
    info = {"S0001", 0, "", -2};
    EXPECT_EQ(SimStatusText(info, words), "S0001 Versatz 2: R");
    EXPECT_EQ(CarrierText(64), "8H");
    EXPECT_EQ(CarrierText(9), "1B");
    EXPECT_EQ(RackingText(0), "");
}

TEST(PTestPanelTexts, InnerPanelsOnlyInsideANestedSequence)
{
    EXPECT_EQ(MakePTestPanelTexts({1, 1, 1, 1, 0, 1}), (PTestPanelTexts{"S0001", "Z0001", "0001", "", ""}));
    EXPECT_EQ(MakePTestPanelTexts({12, 3, 1, 2, 4, 5}), (PTestPanelTexts{"S0003", "Z0012", "0002", "S0004", "0005"}));
}

TEST(ExportEndPlan, DecisionTable)
{
    const std::string q = "Soll jetzt $ mit diesem Muster gestartet werden?";
    const std::string wandel = "/h/Temp/Wandel.Sma";
    struct Case {
        const char* what;
        ExportEndInput in;
        bool runs, fertig, ask;
        ExportEndPlan::OnOk onOk;
        std::string command;
    };
    using O = ExportEndPlan::OnOk;
    const std::vector<Case> cases = {
        {"program test", {false, false, true, true, "/x", "Skrel", wandel}, false, false, false, O::Nothing, ""},
        {"user abort", {true, true, true, true, "/x", "Skrel", wandel}, false, false, false, O::Nothing, ""},
        {"no start entry", {true, false, true, true, "", "Skrel", wandel}, true, true, false, O::Nothing, ""},
        {"not usable", {true, false, false, false, "/x", "Skrel", wandel}, true, false, false, O::Nothing, ""},
        {"start entry", {true, false, false, true, "/w/rec.sh", "Pelsavo", wandel}, true, false, true, O::StartProgram,
         "/w/rec.sh /L/h/Temp/Wandel.Sma"},
        {"blanks quoted", {true, false, false, true, "/a b/x", "P", "/c d/W.Sma"}, true, false, true, O::StartProgram,
         "\"/a b/x\" \"/L/c d/W.Sma\""},
        {"ordalin any case", {true, false, false, true, "", "ordalin", wandel}, true, false, true, O::Ordalin, ""},
    };
    for (const Case& c : cases) {
        const ExportEndPlan p = MakeExportEndPlan(c.in, q);
        EXPECT_EQ(p.runs, c.runs) << c.what;
        EXPECT_EQ(p.sendFertig, c.fertig) << c.what;
        EXPECT_EQ(p.ask, c.ask) << c.what;
        EXPECT_EQ(p.onOk, c.onOk) << c.what;
        EXPECT_EQ(p.commandLine, c.command) << c.what;
    }
    const ExportEndPlan o = MakeExportEndPlan({true, false, false, true, "", "ordalin", wandel}, q);
    EXPECT_EQ(o.question, "Soll jetzt ordalin mit diesem Muster gestartet werden?");
    EXPECT_EQ(o.ordalinCommands, (std::vector<std::string>{"SIZEMAX", "LOADORDALINFILES /h/Temp/Wandel.Sma"}));
}

TEST(MaTypCaption, FileFolderAndMissing)
{
    WriteTestFile(TestHome() + "T.D10", "!X:1;\r\n!M_TYP:ABC 12;\r\n");
    WriteTestFile(TestHome() + "N.D10", "!X:1;\r\n");
    EXPECT_EQ(MaTypCaption(TestHome() + "t.d10"), "--> ABC 12") << "found in any letter case";
    EXPECT_EQ(MaTypCaption(TestHome()), "");
    EXPECT_EQ(MaTypCaption("C:\\nowhere\\"), "");
    EXPECT_EQ(MaTypCaption(TestHome() + "missing.D10"), "");
    EXPECT_EQ(MaTypCaption(TestHome() + "N.D10"), "");
    EXPECT_TRUE(IsMaTypFolder("/w/"));
    EXPECT_TRUE(IsMaTypFolder("C:\\w\\"));
    EXPECT_FALSE(IsMaTypFolder("/w/T.D10"));
}

}  // namespace
