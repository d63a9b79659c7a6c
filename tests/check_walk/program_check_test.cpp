// The program check walk on programs built in the lists: messages, report,
// strokes, pauses and the faults the walk must not make.
#include <gtest/gtest.h>

#include <stdexcept>

#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/listaccess/alistaccess.h"
#include "kernel/listaccess/flistaccess.h"
#include "kernel/listaccess/plistaccess.h"
#include "kernel/listaccess/vlistaccess.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "tests/check_walk/walk_testing.h"

using namespace walktest;

namespace {

std::vector<std::string> Msg(const std::string& text)
{
    return {text, ""};
}

class ProgramCheck : public WalkTest {};

// Rows 1..3, S line 1 = row 1, S line 2 = row 3.
void RowOneThenRowThree()
{
    PlainRow(3);
    SetSLine(1, SLineFields{.first = 1, .extent = 0});
    SetSLine(2, SLineFields{.first = 3, .extent = 0});
}

}  // namespace

TEST_F(ProgramCheck, PlainProgramRunsCleanInEveryMode)
{
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(Run(mode), Report("Keine Fehler gefunden!"));
        EXPECT_EQ(CheckStrokeCount(), 2u);
        EXPECT_EQ(CheckState.checkFinished, 1);
        EXPECT_EQ(CheckState.running, 0);
    }
    EXPECT_EQ(host.waits, 0);
    EXPECT_FALSE(ProgramBusy());
}

TEST_F(ProgramCheck, NoSequenceOrNoNeedleRoomEndsAtOnce)
{
    SListe->SetCount(0);
    EXPECT_EQ(Run(), Msg("S0000: Kein Schemaablauf vorhanden!"));
    EXPECT_EQ(CheckStrokeCount(), 0u);
    // A line 1 with first number 0 is no sequence either.
    SetSLine(1, SLineFields{.first = 0});
    EXPECT_EQ(Run(), Msg("S0000: Kein Schemaablauf vorhanden!"));

    BasicProgram();
    put_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, 1), 0);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 0);
    EXPECT_EQ(Run(), Msg("Kein Nadelraum vorhanden!"));
    EXPECT_EQ(CheckStrokeCount(), 0u);
    EXPECT_EQ(CheckState.checkFinished, 1);
    // A room from needle 0 has no first needle on the machine: reported
    // before any stroke, in every mode, rather than knitted one needle short.
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 10);
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(Run(mode), Msg("Kein Nadelraum vorhanden!")) << mode;
        EXPECT_TRUE(library.callsOf("AddSelektion").empty());
    }
}

TEST_F(ProgramCheck, DirectionMessages)
{
    SetSLine(1, SLineFields{.first = 1, .extent = 0});
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0001: Der letzte Hub muß ein Hub nach links sein!"),
                           Report("1 Fehler gefunden!")}));
    EXPECT_EQ(CheckStrokeCount(), 1u);

    RowOneThenRowThree();
    EXPECT_EQ(Run(), Join({Msg("S0002 Z0003: Die Schlittenrichtung (>>>>) ist falsch!"),
                           Msg("S0002 Z0003: Der letzte Hub muß ein Hub nach links sein!"),
                           Report("2 Fehler gefunden!")}));
    EXPECT_EQ(CheckStrokeCount(), 2u);

    // Two strokes to the left: the text is the left-going character.
    SetSLine(1, SLineFields{.first = 2, .extent = 0});
    SetSLine(2, SLineFields{.first = 2, .extent = 0});
    Speed(2, 1, 50);
    TakeDown(2, 2, 10);
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0002: Die Schlittenrichtung (<<<<) ist falsch!"),
                           Msg("S0002 Z0002: Die Schlittenrichtung (<<<<) ist falsch!"),
                           Report("2 Fehler gefunden!")}));
}

TEST_F(ProgramCheck, FirstRowChecksAndMachineStop)
{
    Speed(1, 0, 0);
    TakeDown(1, 0, 0);
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0001: In 1. Schemazeile wird ein Warenabzug (unten) erwartet!"),
                           Msg("S0001 Z0001: In 1. Schemazeile wird eine Geschwindigkeitsangabe erwartet!"),
                           Report("2 Fehler gefunden!")}));
    // The program test pauses after each stroke with a message.
    EXPECT_EQ(host.waits, 1);

    BasicProgram();
    Speed(2, 1, 0);
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0002: Maschine Stop!"), Report("Keine Fehler gefunden!")}));

    // Pinned: speed 0 in the first row stops nothing.
    BasicProgram();
    Speed(1, 1, 0);
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    // A needle-count take-down is a take-down as well.
    BasicProgram();
    TakeDown(1, 0, 1);
    uint8_t* a = AListe->GetLine(1);
    put_u16(a, aline::kNeedleCount1, 50);
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
}

TEST_F(ProgramCheck, SpeedValuesOutOfRange)
{
    Speed(2, 1, 101);
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0002: Ungültiger Wert (101) für Geschwindigkeit!"),
                           Report("1 Fehler gefunden!")}));
    Speed(2, 2, 255);
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    Speed(2, 2, 256);
    EXPECT_EQ(Run()[0], "S0001 Z0002: Ungültiger Wert (256) für Geschwindigkeit!");
    // A negative selector value is out of range, not a wrapped speed.
    SetWValue(7, -5);
    Speed(2, 0, 7);
    EXPECT_EQ(Run()[0], "S0001 Z0002: Ungültiger Wert (-05) für Geschwindigkeit!");
    SetWValue(7, 101);
    EXPECT_EQ(Run()[0], "S0001 Z0002: Ungültiger Wert (101) für Geschwindigkeit!");
}

TEST_F(ProgramCheck, RackingReferenceToAMissingLine)
{
    put_u16(ZLine(1), zline::kRacking1, 5);
    EXPECT_EQ(Run(), Msg("S0001 Z0001 V0005: Verweis auf ungültige Versatzliste!"));
    EXPECT_EQ(CheckStrokeCount(), 0u);
    // A line that exists but was never written is not in use either.
    VListe->GetLine(5);
    EXPECT_EQ(Run(), Msg("S0001 Z0001 V0005: Verweis auf ungültige Versatzliste!"));
    VListe->GetLine(5)[vline::kInUse] = 1;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
}

TEST_F(ProgramCheck, SelectionMessagesReachTheOutput)
{
    uint8_t* front = ZSide(1, 1, 0);
    front[zline::kCam] = 2;
    put_u32(front, zline::kSelection + 4, 1);
    put_u32(front, zline::kSelection + 8 + 4, 1);
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0001 Sys1 vorne: Lang- und Kurzauswahl überschneidet sich!"),
                           Report("1 Fehler gefunden!")}));

    BasicProgram();
    front = ZSide(1, 1, 0);
    front[zline::kCam] = 2;
    put_u32(front, zline::kSelection, 1u << 19);  // "A"
    EXPECT_EQ(Run(), Msg("S0001 Z0001 Sys1 vorne: Jacquardauswahl ohne Nadeleinteilung!"));
    EXPECT_EQ(CheckStrokeCount(), 0u);
}

TEST_F(ProgramCheck, DivisionWiderThanThePattern)
{
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 201);
    SetNLine(1, NLineFields{.first = 1, .extent = 149, .count = 1});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .divisionFlag = 0, .division = 1});
    EXPECT_EQ(Run(), Msg("S0001 N0001 X0101: Die Patrone ist nur 100 Nadeln breit!"));
    EXPECT_EQ(CheckStrokeCount(), 0u);
}

TEST_F(ProgramCheck, CarrierReportAndNestedSequence)
{
    ZSystem(1, 1)[zline::kCarriers] = 1;
    ZSystem(2, 1)[zline::kCarriers] = 1;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!", {"L "}));

    BasicProgram();
    SetSLine(1, SLineFields{.kind = 1, .first = 3, .extent = 0, .count = 2});
    SListe->GetLine(2);
    SetSLine(3, SLineFields{.first = 1, .extent = 1, .count = 3});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    EXPECT_EQ(CheckStrokeCount(), 12u);
}

TEST_F(ProgramCheck, SequenceEndsBeforeTheFirstLaterEmptyLine)
{
    // Pinned: line 2 is empty, so line 3 is not walked (it would give a
    // direction message).
    SListe->GetLine(2);
    SetSLine(3, SLineFields{.first = 2, .extent = 0});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    EXPECT_EQ(CheckStrokeCount(), 2u);
    // Inside a nested sequence an empty line stops the run.
    SetSLine(1, SLineFields{.kind = 1, .first = 3, .extent = 1});
    SetSLine(3, SLineFields{.first = 1, .extent = 1});
    SListe->GetLine(4);
    EXPECT_EQ(Run(), Msg("S0004: Leerer Schemaablauf!"));
}

TEST_F(ProgramCheck, SchemeNestingStopsSilentlyAtDepthSeven)
{
    // Line 1 nests line 3, line k (3..7) nests line k + 1, line 8 knits
    // rows 1..2 (line 2 is empty: the sequence is line 1 alone). Line 8's
    // sequence is depth 7: never walked.
    SetSLine(1, SLineFields{.kind = 1, .first = 3, .extent = 0});
    SListe->GetLine(2);
    for (uint16_t k = 3; k <= 7; ++k)
        SetSLine(k, SLineFields{.kind = 1, .first = uint16_t(k + 1), .extent = 0});
    SetSLine(8, SLineFields{.first = 1, .extent = 1});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    EXPECT_EQ(CheckStrokeCount(), 0u);
    // Six levels deep it knits.
    SetSLine(7, SLineFields{.first = 1, .extent = 1});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    EXPECT_EQ(CheckStrokeCount(), 2u);
}

TEST_F(ProgramCheck, NeedleDivisionNestingAndEmptyDivisions)
{
    for (uint16_t n = 1; n <= 6; ++n)
        SetNLine(n, NLineFields{.kind = 1, .first = uint16_t(n + 1), .extent = 0});
    SetNLine(7, NLineFields{.kind = 1, .first = 8, .extent = 0});
    SetNLine(8, NLineFields{.first = 1, .extent = 99});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1});
    EXPECT_EQ(Run(), Msg("S0001: Schachtelungstiefe (7) der Nadeleinteilung zu hoch!"));
    // Six deep is allowed.
    SetNLine(6, NLineFields{.first = 1, .extent = 99});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));

    SetNLine(1, NLineFields{.first = 0});
    EXPECT_EQ(Run(), Msg("S0001 N0001: Leere Nadeleinteilung!"));
    SetNLine(1, NLineFields{.first = 1, .extent = 9, .count = 0});
    EXPECT_EQ(Run(), Msg("S0001: Nadeleinteilung ist 0 Nadeln breit!"));
}

TEST_F(ProgramCheck, ColumnsAndRowsOutsideThePatternAreNotWrapped)
{
    // Columns 3, 2, 1, 0: column 0 is reported, never a wrapped 65535.
    SetNLine(1, NLineFields{.first = 3, .extent = -3});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1});
    EXPECT_EQ(Run(), Msg("S0001 N0001 X0000: Auf Spalte 0 kann nicht zugegriffen werden!"));

    BasicProgram();
    put_i16(ZSide(1, 1, 1), zline::kPatternValue, -3);
    EXPECT_EQ(Run(), Msg("S0001 Z0001 Sys1 hinten Y-003: Die Patrone ist nur 20 Reihen hoch!"));
    BasicProgram();
    put_i16(ZSide(2, 1, 0), zline::kPatternValue, 21);
    EXPECT_EQ(Run(), Msg("S0001 Z0002 Sys1 vorne Y0021: Die Patrone ist nur 20 Reihen hoch!"));
}

TEST_F(ProgramCheck, NegativeSelectorRepeatCountsRepeatNothing)
{
    SetWValue(3, -2);
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .selector = 1, .count = 3});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    EXPECT_EQ(CheckStrokeCount(), 0u);
    SetWValue(3, 2);
    Run();
    EXPECT_EQ(CheckStrokeCount(), 4u);
    // The selector value is read at the current level.
    SetWValue(3, 3, 4);
    RuestSchema.b[T_RuestSchema::kLevel] = 4;
    put_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, 4), 1);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 4), 101);
    Run();
    EXPECT_EQ(CheckStrokeCount(), 6u);
    // A level outside 1..8 reads as level 1.
    RuestSchema.b[T_RuestSchema::kLevel] = 9;
    Run();
    EXPECT_EQ(CheckStrokeCount(), 4u);
}

TEST_F(ProgramCheck, NinthCarrierOnARail)
{
    // Row k moves carrier (rail 1, box k - 1): row 1 the direct carrier 1,
    // the others through P sub-list k - 1.
    SetSLine(1, SLineFields{.first = 1, .extent = 8});
    ZSystem(1, 1)[zline::kCarriers] = 1;
    for (uint16_t k = 2; k <= 9; ++k) {
        PlainRow(k);
        put_u16(ZSystem(k, 1), zline::kPListRef, uint16_t(k - 1));
        uint8_t* p = PListe->GetLine(uint16_t(k - 1));
        put_u16(p, pline::kListNumber, uint16_t(k - 1));
        p[pline::kRail] = 1;
        p[pline::kBox] = uint8_t(k - 1);
        put_i16(p, pline::kOffsetLeft, -32768);
        put_i16(p, pline::kOffsetRight, -32768);
    }
    EXPECT_EQ(Run(), Msg("S0001 Z0009 Sys1: Zu viele Fadenführer auf der Schiene 1!"));
    EXPECT_EQ(CheckStrokeCount(), 8u);

    // Eight fit: the report lists them from the last to the first entry.
    // Carriers coming from the right enter at the left end of the rail.
    SetSLine(1, SLineFields{.first = 1, .extent = 7});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!", {"L L L L R R R R "}));
}

TEST_F(ProgramCheck, RailMapAndBadCarrierIndices)
{
    // Carrier 1 runs on rail 3 by the exchange map.
    RuestSchema.b[T_RuestSchema::Exchange(1)] = 3;
    ZSystem(1, 1)[zline::kCarriers] = 1;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!", {"", "", "L "}));
    // A map entry beyond eight, a P line rail or box beyond eight: no move.
    RuestSchema.b[T_RuestSchema::Exchange(1)] = 12;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    RuestSchema.b[T_RuestSchema::Exchange(1)] = 0;
    ZSystem(1, 1)[zline::kCarriers] = 0;
    put_u16(ZSystem(1, 1), zline::kPListRef, 1);
    uint8_t* p = PListe->GetLine(1);
    p[pline::kRail] = 9;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    p = PListe->GetLine(1);
    p[pline::kRail] = 2;
    p[pline::kBox] = 9;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    PListe->GetLine(1)[pline::kBox] = 8;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!", {"", "L "}));
}

TEST_F(ProgramCheck, IntarsiaTieInWithoutCarrier)
{
    uint8_t* front = ZSide(1, 1, 0);
    front[zline::kCam] = 2;
    put_u32(front, zline::kSelection + 4, 1);
    put_u32(front, zline::kSelection, 1u << 30);
    // Bit 30 alone is a colour set: the selection is jacquard and needs a
    // division.
    SetNLine(1, NLineFields{.first = 1, .extent = 99});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1});
    EXPECT_EQ(Run(), Msg("S0001 Z0001 Sys1: Intarsiaabbindung ohne Fadenführer!"));
    ZSystem(1, 1)[zline::kCarriers] = 2;
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!", {"", "L "}));
}

TEST_F(ProgramCheck, ColourInPositionListWithAFixedProgram)
{
    uint8_t* front = ZSide(1, 1, 0);
    front[zline::kCam] = 2;
    put_u32(front, zline::kSelection + 4, 5);
    put_u16(ZSystem(1, 1), zline::kPListRef, 1);
    uint8_t* p = PListe->GetLine(1);
    p[pline::kRail] = 1;
    p[pline::kBox] = 1;
    put_u32(p, pline::kColours, 1u);
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0001 Sys1 P0001: Farbangabe in P-Liste und Festprogramm in System nicht erlaubt!"),
                           Report("1 Fehler gefunden!", {"L "})}));
}

TEST_F(ProgramCheck, PausesOnlyInProgramTest)
{
    Speed(1, 0, 0);
    TakeDown(1, 0, 0);
    Speed(2, 1, 101);
    Run(0);
    EXPECT_EQ(host.waits, 2);
    for (int mode : {1, 2}) {
        host.waits = 0;
        Run(mode);
        EXPECT_EQ(host.waits, 0) << mode;
    }
    // Between rows the program test and the export let the window work.
    host.processEventsCalls = 0;
    Run(0);
    EXPECT_EQ(host.processEventsCalls, 2);
    Run(1);
    EXPECT_EQ(host.processEventsCalls, 2);
    Run(2);
    EXPECT_EQ(host.processEventsCalls, 4);
}

TEST_F(ProgramCheck, UserAbortInThePause)
{
    Speed(1, 0, 0);
    TakeDown(1, 0, 0);
    host.inPause = [] { CheckState.userAbort = 1; };
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0001: In 1. Schemazeile wird ein Warenabzug (unten) erwartet!"),
                           Msg("S0001 Z0001: In 1. Schemazeile wird eine Geschwindigkeitsangabe erwartet!"),
                           Msg("S0001 Z0002: Abbruch durch Anwender!")}));
    EXPECT_EQ(CheckStrokeCount(), 1u);
    EXPECT_EQ(CheckState.checkFinished, 1);
}

TEST_F(ProgramCheck, ReadingNeverGrowsTheLists)
{
    // References to lines that are not there: W 500, V 9 (racking in use
    // checked only once it exists: use the second entry's direct step),
    // A sub-list 7, F sub-list 3, P sub-list 4 and Z rows past the count.
    Speed(1, 0, 500);
    TakeDown(2, 0, 7);
    uint8_t* side = ZSide(1, 1, 0);
    side[zline::kDensity1Mode] = 1;
    put_u16(side, zline::kDensity1Value, 3);
    put_u16(ZSystem(2, 1), zline::kPListRef, 4);
    SetSLine(1, SLineFields{.first = 1, .extent = 3});
    const std::string before = ProgramSnapshot();
    for (int mode : {0, 1, 2})
        Run(mode);
    EXPECT_EQ(ProgramSnapshot(), before);

    put_u16(ZLine(1), zline::kRacking1, 9);
    const std::string before2 = ProgramSnapshot();
    EXPECT_EQ(Run(), Msg("S0001 Z0001 V0009: Verweis auf ungültige Versatzliste!"));
    EXPECT_EQ(ProgramSnapshot(), before2);
}

TEST_F(ProgramCheck, DamagedHeaderAndRoomRunClean)
{
    // Six system blocks: a count of 9 walks six.
    ProgrammKopf.b[26] = 9;
    EXPECT_EQ(Run(1), Report("Keine Fehler gefunden!"));
    EXPECT_EQ(library.callsOf("AddNeueZeile").back().block[3], 6);
    EXPECT_EQ(library.callsOf("AddNeueZeile").back().texts.at(52), "S0001 Z0002 System1 YV0000 YH0000");
    ProgrammKopf.b[26] = 0;
    EXPECT_EQ(Run(1), Report("Keine Fehler gefunden!"));

    put_u16(RuestSchema.data(), T_RuestSchema::RoomStart(1, 1), 200);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(1, 1), 100);
    for (int mode : {0, 1, 2})
        EXPECT_EQ(Run(mode), Msg("Kein Nadelraum vorhanden!")) << mode;
}

TEST_F(ProgramCheck, ANarrowerDivisionLeavesNoColumnsBehind)
{
    // Row 1 under division N1 (columns 1..100), row 2 under N2 (columns
    // 1..10). Row 2 selects jacquard colour A, which only columns 11..100
    // hold: with the map cleared nothing is selected on 11..100.
    for (uint16_t x = 11; x <= 100; ++x)
        for (uint16_t y = 1; y <= 20; ++y)
            BildEbene0.rows[size_t(y) * kPatternStride + (x - 1)] = 19;
    SetNLine(1, NLineFields{.first = 1, .extent = 99});
    SetNLine(2, NLineFields{.first = 1, .extent = 9});
    SetSLine(1, SLineFields{.first = 1, .extent = 0, .division = 1});
    SetSLine(2, SLineFields{.first = 2, .extent = 0, .division = 2});
    uint8_t* front = ZSide(2, 1, 0);
    front[zline::kCam] = 2;
    put_u32(front, zline::kSelection, 1u << 19);
    Run(1);
    const auto sel = library.callsOf("AddSelektion");
    ASSERT_EQ(sel.size(), 2u);
    const std::vector<uint8_t>& actions = sel[1].actions.at(2);
    for (uint8_t a : actions)
        EXPECT_EQ(a, 0);
}

TEST_F(ProgramCheck, AFailureEndsTheRunAndPassesOn)
{
    library.onCall = [](const SimCall& c) {
        if (c.name == "ZeileFertig")
            throw std::runtime_error("library failed");
    };
    EXPECT_THROW(Run(1), std::runtime_error);
    EXPECT_EQ(CheckState.checkFinished, 1);
    EXPECT_EQ(CheckState.running, 0);
    ASSERT_EQ(host.ended.size(), 1u);
    EXPECT_TRUE(host.ended[0]);
    EXPECT_FALSE(ProgramBusy());

    // A run of the simulation tells the window how it ended.
    library.onCall = nullptr;
    host.ended.clear();
    Run(1);
    EXPECT_EQ(host.ended, std::vector<bool>{false});
    SetSLine(1, SLineFields{.first = 0});
    Run(1);
    EXPECT_EQ(host.ended, (std::vector<bool>{false, true}));
    host.ended.clear();
    Run(0);
    Run(2);
    EXPECT_TRUE(host.ended.empty());
}

TEST_F(ProgramCheck, TheProgramIsBusyWhileTheWalkRuns)
{
    bool busy = false;
    host.inPause = [&] { busy = ProgramBusy() && CheckState.running == 1 && CheckState.checkFinished == 0; };
    Speed(1, 0, 0);
    Run();
    EXPECT_TRUE(busy);
    EXPECT_FALSE(ProgramBusy());
}

TEST_F(ProgramCheck, PositionIsPublished)
{
    std::vector<T_CheckPosition> seen;
    host.inPause = [&] { seen.push_back(CheckPosition); };
    SetSLine(1, SLineFields{.kind = 1, .first = 3, .extent = 0, .count = 2});
    SListe->GetLine(2);
    SetSLine(3, SLineFields{.first = 1, .extent = 1, .count = 2});
    Speed(2, 1, 0);  // "Maschine Stop!" pauses after every row 2
    Run();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3].zRow, 2);
    EXPECT_EQ(seen[3].sLine, 3);
    EXPECT_EQ(seen[3].system, 1);
    EXPECT_EQ(seen[3].rowRepeat, 2);
    EXPECT_EQ(seen[3].parentSLine, 1);
    EXPECT_EQ(seen[3].seqRepeat, 2);
    EXPECT_EQ(seen[0].rowRepeat, 1);
    EXPECT_EQ(seen[0].seqRepeat, 1);
}

TEST_F(ProgramCheck, NegativeSelectorValuesInTheNeedleDivision)
{
    // An N line repeated by a W value below 0 places no needle.
    SetWValue(4, -3);
    SetNLine(1, NLineFields{.first = 1, .extent = 9, .selector = 1, .count = 4});
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .division = 1});
    EXPECT_EQ(Run(), Msg("S0001: Nadeleinteilung ist 0 Nadeln breit!"));
    SetWValue(4, 5);  // a selector line counts once
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    // The division's start through the selector list.
    SetWValue(6, 1);
    SetSLine(1, SLineFields{.first = 1, .extent = 1, .divisionFlag = 1, .division = 6});
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
    SetWValue(6, -1);  // no division: nothing to check without jacquard
    EXPECT_EQ(Run(), Report("Keine Fehler gefunden!"));
}

TEST_F(ProgramCheck, NoSecondWalkInsideTheFirst)
{
    Speed(1, 0, 0);
    int inner = 0;
    host.inPause = [&] {
        RunProgramCheck();
        inner = int(CheckStrokeCount());
    };
    EXPECT_EQ(Run(), Join({Msg("S0001 Z0001: In 1. Schemazeile wird eine Geschwindigkeitsangabe erwartet!"),
                           Report("1 Fehler gefunden!")}));
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(CheckStrokeCount(), 2u);
}
