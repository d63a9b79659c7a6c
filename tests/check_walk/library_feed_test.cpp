// What the walk hands to the simulation library in simulation and export
// mode: the blocks, byte for byte, through the recording library, and one
// run through our libVpSimMod.so.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "check/carrierrails.h"
#include "check/dll_handles.h"
#include "check/export_options.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/simdll_blocks.h"
#include "kernel/listaccess/alistaccess.h"
#include "kernel/listaccess/flistaccess.h"
#include "kernel/listaccess/plistaccess.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "tests/check_walk/walk_testing.h"

using namespace walktest;

namespace {

class LibraryFeed : public WalkTest {
protected:
    // Names without the calls that belong to the strokes' lines.
    std::vector<std::string> Outline() const
    {
        std::vector<std::string> out;
        for (const SimCall& c : library.calls)
            if (c.name != "AddSelektion" && c.name != "ZeileFertig" && c.name != "AddFf" &&
                c.name != "AddFsDynamisch")
                out.push_back(c.name);
        return out;
    }
    static uint16_t U16(const SimCall& c, size_t off) { return get_u16(c.block.data(), off); }
};

void SelectAllFront(uint16_t z)
{
    uint8_t* front = ZSide(z, 1, 0);
    front[zline::kCam] = 2;
    put_u32(front, zline::kSelection + 4, 1);
}

}  // namespace

TEST(NeedleStart, RoomMarginAndComb)
{
    BasicProgram();
    TestModus = 1;
    EXPECT_EQ(F_NadelStart(), 102);
    EXPECT_EQ(CheckNeedleStart(), 102);
    EXPECT_EQ(CheckSideMargin(), 0);
    TestModus = 2;
    EXPECT_EQ(F_NadelStart(), 203);
    // A comb machine: gauge x factor + 2 x (round(gauge x 6.37) + 5), the
    // factor 45 for a model not in the table.
    ProgrammKopf.b[11] = 1;
    TestModus = 1;
    EXPECT_EQ(F_NadelStart(), 415);
    EXPECT_EQ(CheckSideMargin(), 50);
    ProgrammKopf.SetModel("323");
    EXPECT_EQ(F_NadelStart(), 7 * 42 + 100);
    // An end before the start still gives a needle.
    ProgrammKopf.b[11] = 0;
    put_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, 1), 300);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 100);
    EXPECT_EQ(F_NadelStart(), 301);
    TestModus = 0;
}

TEST(SelectorValues, WsWert)
{
    SetWValue(4, 7);
    SetWValue(5, -3);
    EXPECT_EQ(F_WsWert(0, 4), 4);
    EXPECT_EQ(F_WsWert(1, 4), 7);
    EXPECT_EQ(F_WsWert(2, 4), 7);  // any flag but 0 names a W line
    EXPECT_EQ(F_WsWert(1, 4, true), 1);
    EXPECT_EQ(F_WsWert(1, 5, true), -3);
    EXPECT_EQ(F_WsWert(1, 600, true), 0);
    ExportNListeWs = 1;
    EXPECT_EQ(F_WsWert(1, 4, true), 2);
    EXPECT_EQ(F_WsWert(1, 600, true), 0);
    EXPECT_EQ(F_WsWert(1, 4), 7);
    ExportNListeWs = 0;
    EXPECT_EQ(WListe->Count(), 5);
}

TEST_F(LibraryFeed, FirstLineOfASimulatedStroke)
{
    Run(1);
    const auto lines = library.callsOf("AddNeueZeile");
    ASSERT_EQ(lines.size(), 2u);
    const SimCall& first = lines[0];
    ASSERT_EQ(first.block.size(), 58u);
    EXPECT_EQ(U16(first, 0), 58);
    EXPECT_EQ(first.block[2], '>');
    EXPECT_EQ(first.block[3], 1);
    EXPECT_EQ(first.block[5], 1);
    EXPECT_EQ(first.block[6], 0);
    EXPECT_EQ(first.block[9], 1);
    EXPECT_EQ(U16(first, 10), 50);
    EXPECT_EQ(first.texts.at(12), "WA: 010; ");
    EXPECT_EQ(first.block[16], 255);
    EXPECT_EQ(first.texts.at(52), "S0001 Z0001 System1 YV0000 YH0000");
    EXPECT_EQ(std::string(first.block.begin() + 41, first.block.begin() + 45), "    ");
    EXPECT_EQ(first.block[51], 0);
    EXPECT_EQ(first.block[56], 0);
    EXPECT_EQ(first.block[57], 1);
    EXPECT_EQ(lines[1].block[2], '<');
    EXPECT_EQ(U16(lines[1], 10), 50);  // the speed stays
    EXPECT_EQ(lines[1].texts.at(12), "WA: 010; ");

    Run(2);
    EXPECT_EQ(library.callsOf("AddNeueZeile")[0].texts.at(52), "");
}

TEST_F(LibraryFeed, TakeDownTexts)
{
    TakeDown(1, 0, 1);
    uint8_t* a = AListe->GetLine(1);
    a[aline::kLowerValue] = 20;
    a[aline::kLowerPulse] = static_cast<uint8_t>(-5);
    Run(1);
    EXPECT_EQ(library.callsOf("AddNeueZeile")[0].texts.at(12), "WA: 020,-005; ");

    a = AListe->GetLine(1);
    a[aline::kLowerValue] = 101;
    a[aline::kLowerPulse] = 101;
    put_u16(a, aline::kNeedleCount1, 50);
    a[aline::kRelativeValue1] = 30;
    a[aline::kRelativePulse1] = 40;
    WriteShortString(a, aline::kComment, 80, "Rand");
    library.calls.clear();
    Run(1);
    EXPECT_EQ(library.callsOf("AddNeueZeile")[0].texts.at(12), "WA: MIN 0050,030,040;  C: Rand");

    // "*": no take-down.
    TakeDown(1, 1, 0);
    library.calls.clear();
    Run(1);
    EXPECT_EQ(library.callsOf("AddNeueZeile")[0].texts.at(12), "WA: ,*; ");
}

TEST_F(LibraryFeed, EveryStrokeHandsLinesWithTheirSelection)
{
    ProgrammKopf.SetModel("822");
    SetModelFields(ProgrammKopf, "822");  // two systems
    SelectAllFront(1);
    Run(1);
    // Row 1: system 1 selects; row 2: nobody does, the last system met goes.
    EXPECT_EQ(library.names(), (std::vector<std::string>{"AddNeueZeile", "AddSelektion", "ZeileFertig",
                                                          "AddNeueZeile", "AddSelektion", "ZeileFertig"}));
    const auto lines = library.callsOf("AddNeueZeile");
    EXPECT_EQ(lines[0].block[3], 1);
    // The last system is block 2 either way; on a stroke to the left its
    // messages and label call it system 1.
    EXPECT_EQ(lines[1].block[3], 2);
    EXPECT_EQ(lines[1].texts.at(52), "S0001 Z0002 System1 YV0000 YH0000");

    const SimCall sel = library.callsOf("AddSelektion")[0];
    EXPECT_EQ(U16(sel, 0), 12);
    EXPECT_EQ(U16(sel, 10), 65535);
    const std::vector<uint8_t>& front = sel.actions.at(2);
    ASSERT_EQ(front.size(), 102u);
    EXPECT_EQ(std::count(front.begin(), front.begin() + 100, 'M'), 100);
    EXPECT_EQ(front[100], 0);
    EXPECT_EQ(std::count(sel.actions.at(6).begin(), sel.actions.at(6).end(), 0), 102);
    // The handles died with the calls.
    EXPECT_EQ(SimDllHandles().resolve(get_u32(sel.block.data(), 2)), nullptr);

    // Both systems select: two lines, only the first starts the stroke.
    library.calls.clear();
    uint8_t* s2 = ZSide(1, 2, 0);
    s2[zline::kCam] = 2;
    put_u32(s2, zline::kSelection + 4, 5);
    Run(1);
    const auto both = library.callsOf("AddNeueZeile");
    ASSERT_EQ(both.size(), 3u);
    EXPECT_EQ(both[0].block[3], 1);
    EXPECT_EQ(both[0].block[5], 1);
    EXPECT_EQ(both[1].block[3], 2);
    EXPECT_EQ(both[1].block[5], 0);
}

TEST_F(LibraryFeed, StrokesToTheLeftKeepTheBlockOrder)
{
    // Two systems; on the stroke to the left (row 2) block 1 selects every
    // front needle twice over (message 2), block 2 every other one. Block 1
    // still leads and reaches the library as system 1, while its message
    // and label count the systems from the other end.
    ProgrammKopf.SetModel("822");
    SetModelFields(ProgrammKopf, "822");
    uint8_t* first = ZSide(2, 1, 0);
    first[zline::kCam] = 2;
    put_u32(first, zline::kSelection + 4, 1);
    put_u32(first, zline::kSelection + 8 + 4, 1);
    uint8_t* second = ZSide(2, 2, 0);
    second[zline::kCam] = 2;
    put_u32(second, zline::kSelection + 4, 3);
    EXPECT_EQ(Run(1), Join({{"S0001 Z0002 Sys2 vorne: Lang- und Kurzauswahl überschneidet sich!", ""},
                            Report("1 Fehler gefunden!")}));
    const auto lines = library.callsOf("AddNeueZeile");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].block[3], 2);  // row 1: nobody selects, the last system goes
    EXPECT_EQ(lines[0].texts.at(52), "S0001 Z0001 System2 YV0000 YH0000");
    EXPECT_EQ(lines[1].block[3], 1);
    EXPECT_EQ(lines[1].block[5], 1);
    EXPECT_EQ(lines[1].texts.at(52), "S0001 Z0002 System2 YV0000 YH0000");
    EXPECT_EQ(lines[2].block[3], 2);
    EXPECT_EQ(lines[2].texts.at(52), "S0001 Z0002 System1 YV0000 YH0000");
    const auto sel = library.callsOf("AddSelektion");
    ASSERT_EQ(sel.size(), 3u);
    const std::vector<uint8_t>& all = sel[1].actions.at(2);
    const std::vector<uint8_t>& everyOther = sel[2].actions.at(2);
    EXPECT_EQ(std::count(all.begin(), all.begin() + 100, 'M'), 100);
    EXPECT_EQ(std::count(everyOther.begin(), everyOther.begin() + 100, 'M'), 50);
    EXPECT_EQ(everyOther[1], 'M');
}

TEST_F(LibraryFeed, RackingRowHandsTwoRoundsInTheExport)
{
    // Entry 2 with a direct step: the row racks by 2. System 1 selects and
    // moves carrier 1.
    ZLine(1)[zline::kRacking2 + zline::kRackingStep] = 2;
    SelectAllFront(1);
    ZSystem(1, 1)[zline::kCarriers] = 1;
    Run(2);
    const auto lines = library.callsOf("AddNeueZeile");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].block[6], 0);
    EXPECT_EQ(lines[1].block[6], 1);
    EXPECT_EQ(lines[0].block[5], 1);
    EXPECT_EQ(lines[1].block[5], 0);
    EXPECT_EQ(static_cast<int8_t>(lines[0].block[4]), 0);
    EXPECT_EQ(static_cast<int8_t>(lines[1].block[4]), -2);
    EXPECT_EQ(static_cast<int8_t>(lines[0].block[8]), -2);
    // The centre racking check found no transfer after the change.
    EXPECT_EQ(lines[0].block[51], 1);
    // The new racking holds from the next row on.
    EXPECT_EQ(static_cast<int8_t>(lines[2].block[4]), -2);
    EXPECT_EQ(library.callsOf("AddSelektion").size(), 3u);
    EXPECT_EQ(library.callsOf("ZeileFertig").size(), 3u);
    // Each round's line carries the system's carrier move.
    EXPECT_EQ(library.names(),
              (std::vector<std::string>{"AddNeueZeile", "AddSelektion", "AddFf", "ZeileFertig", "AddNeueZeile",
                                        "AddSelektion", "AddFf", "ZeileFertig", "AddNeueZeile", "AddSelektion",
                                        "ZeileFertig"}));
    const auto ff = library.callsOf("AddFf");
    ASSERT_EQ(ff.size(), 2u);
    EXPECT_EQ(ff[0].block, ff[1].block);
    // In the simulation one round.
    library.calls.clear();
    Run(1);
    EXPECT_EQ(library.callsOf("AddNeueZeile").size(), 2u);

    // Nobody selects: the stroke's one line is the last system's in the
    // first round; the second round hands nothing.
    library.calls.clear();
    std::fill_n(ZSide(1, 1, 0) + zline::kSelection, 24, 0);
    Run(2);
    const auto idle = library.callsOf("AddNeueZeile");
    ASSERT_EQ(idle.size(), 2u);
    EXPECT_EQ(idle[0].block[6], 0);
    EXPECT_EQ(idle[0].block[5], 1);
    EXPECT_EQ(static_cast<int8_t>(idle[0].block[8]), -2);
    EXPECT_EQ(idle[1].block[5], 1);  // row 2
}

TEST_F(LibraryFeed, OneDivisionForTheWholeExport)
{
    SetNLine(1, NLineFields{.first = 1, .extent = 49, .count = 1, .comment = "Mitte"});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1});
    SetSLine(2, SLineFields{.first = 1, .extent = 1, .division = 1});
    Run(2);
    const auto outline = Outline();
    ASSERT_GE(outline.size(), 3u);
    EXPECT_EQ(outline[0], "AddNZeile");
    EXPECT_EQ(outline[1], "NListeEnde");
    EXPECT_EQ(outline[2], "AddNeueZeile");
    EXPECT_EQ(library.callsOf("AddNZeile").size(), 1u);
    EXPECT_EQ(library.callsOf("NListeEnde").size(), 1u);
    const SimCall n = library.callsOf("AddNZeile")[0];
    EXPECT_EQ(U16(n, 0), 12);
    EXPECT_EQ(U16(n, 2), 50);
    EXPECT_EQ(U16(n, 4), 0);
    EXPECT_EQ(U16(n, 6), 1);
    EXPECT_EQ(n.texts.at(8), "Mitte");

    // A range on another division: no N list at all.
    library.calls.clear();
    SetNLine(2, NLineFields{.first = 1, .extent = 19});
    SetSLine(2, SLineFields{.first = 1, .extent = 1, .division = 2});
    Run(2);
    EXPECT_TRUE(library.callsOf("AddNZeile").empty());
    EXPECT_TRUE(library.callsOf("NListeEnde").empty());
    // The simulation never hands the N list.
    library.calls.clear();
    SetSLine(2, SLineFields{.first = 1, .extent = 1, .division = 1});
    Run(1);
    EXPECT_TRUE(library.callsOf("AddNZeile").empty());
}

TEST_F(LibraryFeed, TheSingleDivisionSetsTheExportWidth)
{
    // 4 x 60 needles over a room of 100: the export's map takes twice the
    // room, so 200 of them count.
    SetNLine(1, NLineFields{.first = 1, .extent = 59, .count = 4});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1});
    SelectAllFront(1);
    Run(2);
    EXPECT_EQ(U16(library.callsOf("AddNZeile")[0], 2), 240);
    const SimCall sel = library.callsOf("AddSelektion")[0];
    // Needle start 1 + 2 x 101 = 203: all 200 fit.
    const std::vector<uint8_t>& front = sel.actions.at(2);
    ASSERT_EQ(front.size(), 203u);
    EXPECT_EQ(std::count(front.begin(), front.end(), 'M'), 200);
    // The first needle with an action is machine needle 1.
    EXPECT_EQ(CheckFirstActionNeedle(), 1);
    EXPECT_EQ(CheckExportEndNeedle(), 0);
}

TEST_F(LibraryFeed, SelectorSectionsAndTheirPasses)
{
    SetWValue(3, 1, 1, "Wahl");
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .selector = 1, .count = 3});
    Run(1);
    EXPECT_EQ(Outline(), (std::vector<std::string>{"BeginnWs", "AddNeueZeile", "AddNeueZeile", "EndeWs"}));
    const SimCall b = library.callsOf("BeginnWs")[0];
    EXPECT_EQ(U16(b, 0), 11);
    EXPECT_EQ(b.block[2], 1);
    EXPECT_EQ(U16(b, 3), 3);
    EXPECT_EQ(U16(b, 5), 1);
    EXPECT_EQ(b.texts.at(7), "Wahl");
    const SimCall e = library.callsOf("EndeWs")[0];
    EXPECT_EQ(e.block, (std::vector<uint8_t>{3, 0, 1}));
    // In the program test nothing goes out.
    library.calls.clear();
    Run(0);
    EXPECT_TRUE(library.calls.empty());

    // Three passes in the export when asked: the value handed is value - 2.
    SetWValue(3, 3, 1, "Wahl");
    ExportSListeWs = 1;
    library.calls.clear();
    Run(2);
    std::vector<std::string> expected;
    auto strokes = [&](int n) {
        for (int k = 0; k < n; ++k)
            expected.push_back("AddNeueZeile");
    };
    strokes(6);
    expected.push_back("EndeWs");
    expected.push_back("BeginnWs");
    strokes(6);
    expected.push_back("EndeWs");
    strokes(6);
    expected.push_back("EndeWs");
    EXPECT_EQ(Outline(), expected);
    EXPECT_EQ(U16(library.callsOf("BeginnWs")[0], 5), 1);
    EXPECT_EQ(CheckStrokeCount(), 18u);
    // Only the strokes of pass 1 are the main pass.
    const auto lines = library.callsOf("AddNeueZeile");
    EXPECT_EQ(lines[0].block[57], 0);
    EXPECT_EQ(lines[6].block[57], 1);
    EXPECT_EQ(lines[12].block[57], 0);
    // The repeat flag: from the second repetition of a selector line on.
    EXPECT_EQ(lines[6].block[56], 0);
    EXPECT_EQ(lines[8].block[56], 1);
    // The simulation walks a selector line once.
    library.calls.clear();
    Run(1);
    EXPECT_EQ(library.callsOf("BeginnWs").size(), 1u);
    EXPECT_EQ(U16(library.callsOf("BeginnWs")[0], 5), 3);
    EXPECT_EQ(CheckStrokeCount(), 6u);
}

TEST_F(LibraryFeed, StitchDensities)
{
    // Front: an F sub-list of one line; back: a direct value and a W value.
    uint8_t* f = FListe->GetLine(1);
    put_u16(f, fline::kLeftValue, 12);
    WriteShortString(f, fline::kComment, 80, "Fest");
    uint8_t* front = ZSide(1, 1, 0);
    front[zline::kDensity1Mode] = 1;
    put_u16(front, zline::kDensity1Value, 1);
    uint8_t* back = ZSide(1, 1, 1);
    back[zline::kDensity1Mode] = 3;
    put_u16(back, zline::kDensity1Value, 7);
    back[zline::kDensity2Mode] = 2;
    put_u16(back, zline::kDensity2Value, 4);
    SetWValue(4, 9);
    Run(1);
    const SimCall line = library.callsOf("AddNeueZeile")[0];
    EXPECT_EQ(U16(line, 17), 1200);
    EXPECT_EQ(line.texts.at(19), "Fest");
    EXPECT_EQ(U16(line, 23), 0);
    EXPECT_EQ(U16(line, 29), 700);
    EXPECT_EQ(U16(line, 35), 900);
    EXPECT_TRUE(library.callsOf("AddFsDynamisch").empty());
}

TEST_F(LibraryFeed, DynamicStitchDensity)
{
    // F sub-list 1: 10, then 30 for colour "A"; cells 1..10 of row 1 are "A".
    uint8_t* f = FListe->GetLine(1);
    put_u16(f, fline::kLeftValue, 10);
    f = FListe->GetLine(2);
    put_u16(f, fline::kListNumber, 0);
    put_u16(f, fline::kLeftValue, 30);
    put_u32(f, fline::kColours, 1u << 19);
    for (uint16_t x = 1; x <= 10; ++x)
        BildEbene0.rows[kPatternStride + (x - 1)] = 19;
    SetNLine(1, NLineFields{.first = 1, .extent = 99});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1});
    SelectAllFront(1);
    uint8_t* front = ZSide(1, 1, 0);
    front[zline::kDensity1Mode] = 1;
    put_u16(front, zline::kDensity1Value, 1);
    Run(1);
    const SimCall line = library.callsOf("AddNeueZeile")[0];
    EXPECT_EQ(U16(line, 17), 0);
    EXPECT_EQ(U16(line, 23), 0);
    const auto dyn = library.callsOf("AddFsDynamisch");
    ASSERT_EQ(dyn.size(), 1u);
    EXPECT_EQ(U16(dyn[0], 0), 8);
    EXPECT_EQ(dyn[0].block[2], 0);
    const std::vector<uint16_t>& d = dyn[0].densities.at(4);
    ASSERT_EQ(d.size(), 102u);
    EXPECT_EQ(d[0], 3000);
    EXPECT_EQ(d[9], 3000);
    EXPECT_EQ(d[10], 1000);
    EXPECT_EQ(d[99], 1000);
    EXPECT_EQ(d[100], 0);
    EXPECT_EQ(library.names()[1], "AddSelektion");
    EXPECT_EQ(library.names()[2], "AddFsDynamisch");
}

TEST_F(LibraryFeed, CarrierMovesAndTheirSpacing)
{
    SelectAllFront(1);
    SelectAllFront(2);
    ZSystem(1, 1)[zline::kCarriers] = 1;
    ZSystem(2, 1)[zline::kCarriers] = 1;
    // A second carrier on rail 1 through P sub-list 1 in row 2.
    put_u16(ZSystem(2, 1), zline::kPListRef, 1);
    ZSystem(2, 1)[zline::kCarriers] = 0;
    uint8_t* p = PListe->GetLine(1);
    p[pline::kRail] = 1;
    p[pline::kBox] = 2;
    p[pline::kSwingLeft] = 2;
    p[pline::kSwingRight] = 3;
    put_i16(p, pline::kOffsetLeft, 3);
    put_i16(p, pline::kOffsetRight, -32768);
    Run(1);
    const auto ff = library.callsOf("AddFf");
    ASSERT_EQ(ff.size(), 2u);
    // Direct carrier 1: the selection 1..100 widened by FF MIN 5.
    EXPECT_EQ(U16(ff[0], 0), 16);
    EXPECT_EQ(ff[0].block[2], 1);
    EXPECT_EQ(ff[0].block[3], 1);
    EXPECT_EQ(ff[0].block[4], 1);
    EXPECT_EQ(get_i16(ff[0].block.data(), 5), -4);
    EXPECT_EQ(get_i16(ff[0].block.data(), 7), 105);
    EXPECT_EQ(ff[0].block[13], 0);
    EXPECT_EQ(U16(ff[0], 14), 65535);
    // The P line's carrier B: offsets 3 and FF MIN, swings as mode bytes.
    EXPECT_EQ(ff[1].block[3], 2);
    EXPECT_EQ(ff[1].block[4], 3);
    EXPECT_EQ(get_i16(ff[1].block.data(), 5), -2);
    EXPECT_EQ(get_i16(ff[1].block.data(), 7), 105);
    EXPECT_EQ(ff[1].block[10], 2);
    EXPECT_EQ(ff[1].block[11], 3);
    // AddFf comes after the selection, before the line is done.
    EXPECT_EQ(library.names(), (std::vector<std::string>{"AddNeueZeile", "AddSelektion", "AddFf", "ZeileFertig",
                                                          "AddNeueZeile", "AddSelektion", "AddFf", "ZeileFertig"}));
    // Carrier B entered from the right, at the left end of the rail.
    EXPECT_EQ(out, Report("Keine Fehler gefunden!", {"L R "}));
}

TEST_F(LibraryFeed, PushedNeighboursAreReported)
{
    // Row 1 brings carriers A (box 1) and B (box 2) onto rail 1, both to 100;
    // row 2 takes B back to 1, which pushes A, left of it, to -29.
    SelectAllFront(1);
    SelectAllFront(2);
    put_u16(ZSystem(1, 1), zline::kPListRef, 1);
    uint8_t* p = PListe->GetLine(1);
    p[pline::kRail] = 1;
    p[pline::kBox] = 1;
    p = PListe->GetLine(2);
    put_u16(p, pline::kListNumber, 0);
    p[pline::kRail] = 1;
    p[pline::kBox] = 2;
    put_u16(ZSystem(2, 1), zline::kPListRef, 3);
    p = PListe->GetLine(3);
    put_u16(p, pline::kListNumber, 3);
    p[pline::kRail] = 1;
    p[pline::kBox] = 2;
    Run(1);
    const auto pushed = library.callsOf("FfEndPosChg");
    ASSERT_EQ(pushed.size(), 1u);
    EXPECT_EQ(U16(pushed[0], 0), 7);
    EXPECT_EQ(U16(pushed[0], 2), CarrierId(1, 1));
    EXPECT_EQ(get_i16(pushed[0].block.data(), 4), -29);
    EXPECT_EQ(pushed[0].block[6], 'L');
    // It goes out before the stroke's lines.
    EXPECT_EQ(library.names()[5], "FfEndPosChg");
    EXPECT_EQ(library.names()[6], "AddNeueZeile");
    // The program test hands nothing.
    library.calls.clear();
    Run(0);
    EXPECT_TRUE(library.calls.empty());
}

TEST_F(LibraryFeed, CombMachineArraysStayInTheMachine)
{
    // Comb take-down, gauge 7: needle start 7 x 42 + 2 x 50 = 394, margin
    // 50; a room of 1000 needles reaches past it: only what fits is copied.
    ProgrammKopf.SetModel("323");
    SetModelFields(ProgrammKopf, "323");
    ProgrammKopf.b[26] = 1;
    ProgrammKopf.SetWidth(1000);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 1001);
    SelectAllFront(1);
    Run(1);
    const SimCall sel = library.callsOf("AddSelektion")[0];
    const std::vector<uint8_t>& front = sel.actions.at(2);
    ASSERT_EQ(front.size(), 394u);
    EXPECT_EQ(std::count(front.begin(), front.begin() + 50, 0), 50);
    EXPECT_EQ(std::count(front.begin() + 50, front.end(), 'M'), 344);
    // Message 30: the set-up record asks for the comb, the first row has no
    // comb value.
    RuestSchema.b[T_RuestSchema::kComb] = 1;
    library.calls.clear();
    EXPECT_EQ(Run(1)[0], "S0001 Z0001: In 1. Schemazeile wird ein Warenabzug (Kamm) erwartet!");
    const SimCall line = library.callsOf("AddNeueZeile")[1];
    EXPECT_EQ(line.texts.at(12), "WA: 010;  Comb: 020;");
}

TEST_F(LibraryFeed, RowMarkers)
{
    SetSLine(1, SLineFields{.first = 1, .extent = 3});
    PlainRow(3);
    PlainRow(4);
    ZLine(1)[zline::kFlag63] = 1;      // marker 1: the next line carries 254
    ZLine(3)[zline::kFlag63 + 2] = 1;  // marker 3: its own first line 2
    Run(1);
    const auto lines = library.callsOf("AddNeueZeile");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].block[16], 255);
    EXPECT_EQ(lines[1].block[16], 254);
    EXPECT_EQ(lines[2].block[16], 2);
    EXPECT_EQ(lines[3].block[16], 255);
}

TEST_F(LibraryFeed, SimulationWindowHooks)
{
    Speed(2, 1, 0);  // a message in row 2
    Run(1);
    EXPECT_EQ(host.shown, 2);
    EXPECT_EQ(host.stops, 1);
    host.simAborted = true;
    Run(1);
    EXPECT_EQ(host.shown, 2);
}

TEST_F(LibraryFeed, NestedProgramThroughOurLibrary)
{
    SetSLine(1, SLineFields{.kind = 1, .first = 3, .extent = 0, .count = 2});
    SListe->GetLine(2);
    SetSLine(3, SLineFields{.first = 1, .extent = 1, .count = 3});
    TestModus = 1;
    ASSERT_TRUE(StartSimDll("", F_NadelStart()));
    SetSimLibrary(nullptr);
    RunProgramCheck();
    EXPECT_EQ(CheckStrokeCount(), 12u);
    EXPECT_EQ(SimDllInfoEnde(CheckExportEndNeedle()).strokes, 12);
    EXPECT_EQ(SimDllGetSimHoehe(), 24);
    FreeSimDll();
}

TEST_F(LibraryFeed, AnExportCutShortByAFatalMessageIsNotUsable)
{
    // Cut short: row 2's front reads pattern row 21, above the pattern's 20
    // rows, so the run stops at message 11 after row 1 went to the library.
    const std::string file = TempPfad + "Wandel.Sma";
    for (const bool cut : {true, false}) {
        SCOPED_TRACE(cut);
        BasicProgram();
        if (cut)
            put_i16(ZSide(2, 1, 0), zline::kPatternValue, 21);
        TestModus = 2;
        ASSERT_TRUE(StartSimDll("", F_NadelStart()));
        SetSimLibrary(nullptr);
        RunProgramCheck();
        EXPECT_EQ(CheckRunCutShort(), cut);
        const SimInfoEnde end = CheckExportEnd();
        EXPECT_EQ(end.usable, !cut);
        EXPECT_EQ(end.strokes, cut ? 1 : 2);
        EXPECT_EQ(std::filesystem::exists(file), !cut);
    }
    FreeSimDll();
}

TEST_F(LibraryFeed, IntarsiaCarriersLeaveTheRoom)
{
    // Carrier (rail 1, box A) is an intarsia carrier: with d = round(7 x
    // 6.37) = 45 it goes out to d + needle start - 2 x margin - room start
    // + 1 + FF MIN on the right and to -room start - d + 1 - FF MIN on the
    // left.
    RuestSchema.b[T_RuestSchema::CarrierType(1, 0)] = 1;
    SelectAllFront(1);
    SelectAllFront(2);
    ZSystem(1, 1)[zline::kCarriers] = 1;
    ZSystem(2, 1)[zline::kCarriers] = 1;
    Run(1);
    const auto ff = library.callsOf("AddFf");
    ASSERT_EQ(ff.size(), 2u);
    EXPECT_EQ(ff[0].block[13], 1);
    EXPECT_EQ(get_i16(ff[0].block.data(), 5), -4);
    EXPECT_EQ(get_i16(ff[0].block.data(), 7), 45 + 102 - 1 + 1 + 5);
    EXPECT_EQ(get_i16(ff[1].block.data(), 5), -1 - 45 + 1 - 5);
    EXPECT_EQ(get_i16(ff[1].block.data(), 7), 105);
}

TEST_F(LibraryFeed, PatternRowsFollowTheSequence)
{
    // Row range repeated twice: front rows 2 and 5, back rows 7 and 3.
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .count = 2, .frontStart = 2, .frontStep = 3, .backStart = 7,
                          .backStep = -4});
    Run(1);
    auto lines = library.callsOf("AddNeueZeile");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].texts.at(52), "S0001 Z0001 System1 YV0002 YH0007");
    EXPECT_EQ(lines[3].texts.at(52), "S0001 Z0002 System1 YV0005 YH0003");

    // Nested: line 1 starts its sequence at 10 and steps 100 per repetition;
    // line 3 adds its own start 1.
    SetSLine(1, SLineFields{.kind = 1, .first = 3, .extent = 0, .count = 2, .frontStart = 10, .frontStep = 100});
    SListe->GetLine(2);
    SetSLine(3, SLineFields{.first = 1, .extent = 1, .frontStart = 1});
    Run(1);
    lines = library.callsOf("AddNeueZeile");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].texts.at(52), "S0003 Z0001 System1 YV0011 YH0000");
    EXPECT_EQ(lines[1].texts.at(52), "S0003 Z0002 System1 YV0011 YH0000");
    // The second repetition walks row 111; the side's pattern row (the
    // walker's row + 1) lies above the pattern's 20 rows.
    EXPECT_EQ(out, (std::vector<std::string>{"S0003 Z0001 Sys1 vorne Y0112: Die Patrone ist nur 20 Reihen hoch!", ""}));
}

TEST_F(LibraryFeed, LinesAgreeWithTheLibrarysPacker)
{
    // The walk packs its lines itself (without allocating); the bytes agree
    // with the packer of the library's host side, handles aside.
    ZLine(1)[zline::kRacking2 + zline::kRackingStep] = 3;
    ZLine(1)[zline::kRacking2 + zline::kRackingCode] = 2;
    Run(2);
    for (const SimCall& c : library.callsOf("AddNeueZeile")) {
        T_DllNeueZeile l;
        l.direction = char(c.block[2]);
        l.system = c.block[3];
        l.racking = int8_t(c.block[4]);
        l.strokeStart = c.block[5] != 0;
        l.round = c.block[6];
        l.newRacking = int8_t(c.block[8]);
        l.rackingCodeZero = c.block[9] != 0;
        l.speed = U16(c, 10);
        l.takeDown = c.texts.at(12);
        l.rowMarker = c.block[16];
        for (int k = 0; k < 4; ++k) {
            l.density[size_t(k)] = U16(c, 17 + 6 * size_t(k));
            l.densityText[size_t(k)] = c.texts.at(19 + 6 * k);
        }
        for (int k = 0; k < 4; ++k)
            l.comb[size_t(k)] = char(c.block[41 + size_t(k)]);
        l.combValue2 = U16(c, 45);
        l.combBits = get_u32(c.block.data(), 47);
        l.message = c.block[51] != 0;
        l.label = c.texts.at(52);
        l.repeat = c.block[56];
        l.mainPass = c.block[57];
        SimDllCallScope scope(102);
        auto packed = PackDllNeueZeile(l, scope);
        std::vector<uint8_t> mine = c.block;
        for (size_t off : {12, 19, 25, 31, 37, 52}) {
            put_u32(packed.data(), off, 0);
            put_u32(mine.data(), off, 0);
        }
        EXPECT_EQ(std::vector<uint8_t>(packed.begin(), packed.end()), mine);
    }
    EXPECT_EQ(library.callsOf("AddNeueZeile")[1].block[9], 0);  // round 1: the new racking's code 2
}

namespace {

// Pattern row r has colour "A" (19) in every column x with (x + r) mod 7 =
// 0 and "B" (20) elsewhere, so that rows 1..7 differ from each other.
bool RowCellIsA(int x, int r)
{
    return (x + r) % 7 == 0;
}

void ShiftedRows()
{
    for (int r = 1; r <= 20; ++r)
        for (int x = 1; x <= 100; ++x)
            BildEbene0.rows[size_t(r) * kPatternStride + size_t(x - 1)] = RowCellIsA(x, r) ? 19 : 20;
}

}  // namespace

TEST_F(LibraryFeed, PatternRowModesAsTheCompilerStoresThem)
{
    // The front of row 1 knits the needles whose cell is "A" in the side's
    // pattern row; the walker stands on row 2. Modes: 0 a row (bare number)
    // and 1 a signed step ("D+"/"D-") from the walker's row, 2 a row given
    // ("D"), 3 a selector line ("W").
    struct Case {
        uint8_t mode;
        int16_t value;
        int row;
    };
    for (const Case c : {Case{0, 3, 5}, Case{1, 3, 5}, Case{1, -1, 1}, Case{2, 5, 5}, Case{3, 5, 5},
                         Case{3, 4, 6}, Case{9, 5, 1}}) {
        SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << " value " << c.value);
        BasicProgram();
        ShiftedRows();
        SetWValue(4, 6);
        SetWValue(5, 5);
        SetNLine(1, NLineFields{.first = 1, .extent = 99});
        SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1, .frontStart = 2});
        uint8_t* front = ZSide(1, 1, 0);
        front[zline::kCam] = 2;
        front[zline::kPatternMode] = c.mode;
        put_i16(front, zline::kPatternValue, c.value);
        put_u32(front, zline::kSelection, 1u << 19);
        EXPECT_EQ(Run(1), Report("Keine Fehler gefunden!"));
        const auto sel = library.callsOf("AddSelektion");
        ASSERT_FALSE(sel.empty());
        const std::vector<uint8_t>& actions = sel[0].actions.at(2);
        ASSERT_GE(actions.size(), 100u);
        std::string want, got;
        for (int x = 1; x <= 100; ++x) {
            want += RowCellIsA(x, c.row) ? 'M' : '.';
            got += actions[size_t(x - 1)] == 'M' ? 'M' : actions[size_t(x - 1)] == 0 ? '.' : '?';
        }
        EXPECT_EQ(got, want);
    }
}
