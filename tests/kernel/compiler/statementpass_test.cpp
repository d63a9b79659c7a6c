// Pass 2 (the statement file), the module-set definitions and the colour
// stitch densities, driven as the compile driver drives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/compiler/colourdensities.h"
#include "kernel/compiler/scriptcompile.h"
#include "kernel/compiler/statementreader.h"
#include "tests/kernel/compiler/compiler_fixture.h"
#include "tests/support/test_env.h"

namespace {
std::vector<std::string> S2Lines(const std::string& set = "[]=MAIN;", const std::string& module = "MAIN")
{
    return {"MODULSET TEST;", "BEGIN",   "$ZR_TYP=" + M2() + ";", set, "END;", "MODUL " + module + ";",
            "BEGIN",          "S1=>,Y+1,K[AB];", "S1=<,K[AB];", "END;"};
}

std::string Join(const std::vector<std::string>& lines, const char* end = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

std::string Entry(uint16_t line, uint8_t column, const std::string& text)
{
    std::string e;
    e += char(line & 0xff);
    e += char(line >> 8);
    e += char(column);
    e += char(text.size());
    return e + text;
}

std::string Plain(std::string hex)
{
    std::string out;
    for (char c : hex)
        if (c != '\n' && c != ' ')
            out += c;
    return out;
}

std::string HexOf(const std::string& bytes)
{
    return Plain(Hex(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::string Statement(int i)
{
    std::string n = std::to_string(1000 + i);
    return "S1=" + n + std::string(200 - 4 - n.size(), 'X') + "Y";
}

const ModuleSetRecord* Record(const std::string& name)
{
    for (const ModuleSetRecord& r : ZrVar.ModuleSets)
        if (r.name == name)
            return &r;
    return nullptr;
}

std::string ListNumbers(T_ListenVar* list)
{
    std::string s;
    for (uint16_t i = 1; i <= list->Count(); ++i)
        s += (i > 1 ? " " : "") + std::to_string(get_u16(list->GetLine(i), 0));
    return s;
}
}  // namespace

TEST_F(CompilerPasses, StatementFileOfAModule)
{
    ASSERT_EQ(Passes(Join(S2Lines())), 0);
    const std::string path = ZrVar.StatementFile;
    std::string bytes = ReadTestFile(path);
    ASSERT_EQ(bytes.size(), 10000u);
    std::string expected = Entry(6, 12, "MODUL=MAIN") + Entry(7, 6, "BEGIN") + Entry(8, 16, "S1=>,Y+1,K[AB]") +
                           Entry(9, 12, "S1=<,K[AB]") + Entry(10, 5, "END");
    ASSERT_EQ(expected.size(), 62u);
    EXPECT_EQ(HexOf(bytes.substr(0, 62)), HexOf(expected));
    EXPECT_EQ(bytes.substr(62), std::string(10000 - 62, '\0'));
    // The same seen by an independent tool.
    std::string xxd;
    ASSERT_EQ(RunCommand("xxd -p -l 62 '" + path + "'", &xxd), 0);
    EXPECT_EQ(Plain(xxd), HexOf(expected));

    const ModuleSetRecord* main = Record("MAIN");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->found);
    EXPECT_EQ(main->filePosition, 0);
    EXPECT_EQ(main->startLine, 5);
    EXPECT_TRUE(main->Unnamed());
    EXPECT_EQ(Rec().RegularModule, 1);

    // After the pass the next free F number is 2, and sub-lists 1 and 2
    // exist.
    EXPECT_EQ(ListNumbers(FListe), "1 2");
    EXPECT_EQ(Rec().NextFLine, 2);
    EXPECT_EQ(Rec().NextFSubList, 2);
    EXPECT_EQ(Rec().FirstColourDensityLine, 2);
    EXPECT_EQ(Rec().HighestFLine, 80);  // line 4 * 19 + 2 of the table, plus the slot distance

    // The reader is back at the first entry.
    int32_t error = 1;
    std::string st;
    ReadStatement(error, false, st, true);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(st, "MODUL=MAIN");

    // Bare line feeds give the same file.
    SetUp();
    ASSERT_EQ(Passes(Join(S2Lines(), "\n")), 0);
    EXPECT_EQ(ReadTestFile(path), bytes);
}

TEST_F(CompilerPasses, ModuleNamesStartingWithSet)
{
    ASSERT_EQ(Passes(Join(S2Lines("[]=SETUP;", "SETUP"))), 0);
    const ModuleSetRecord* r = Record("SETUP");
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->found);
    std::string bytes = ReadTestFile(ZrVar.StatementFile);
    EXPECT_EQ(bytes.substr(4, 11), "MODUL=SETUP");
}

TEST_F(CompilerPasses, StatementFileBlocks)
{
    std::vector<std::string> lines = {"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";", "[AB]=M;", "[CD]=SECOND;",
                                      "END;", "MODUL M;", "BEGIN"};
    std::vector<std::string> want = {"MODUL=M", "BEGIN"};
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(Statement(i).size(), 200u);
        lines.push_back(Statement(i) + ";");
        want.push_back(Statement(i));
    }
    lines.push_back("MODUL SECOND;");
    want.push_back("MODUL=SECOND");
    lines.push_back("END;");
    want.push_back("END");
    ASSERT_EQ(Passes(Join(lines)), 0);

    const std::string path = ZrVar.StatementFile;
    std::string bytes = ReadTestFile(path);
    ASSERT_EQ(bytes.size() % 10000, 0u);
    EXPECT_EQ(bytes.size(), 50000u);  // 48 entries of 204 bytes to a block

    // Walked by python3: u16 line, u8 column, u8 length, text; a zero header
    // ends a block's entries.
    const std::string script = TestHome() + "walk.py";
    WriteTestFile(script, R"(import sys
data = open(sys.argv[1], 'rb').read()
out = []
for b in range(0, len(data), 10000):
    block = data[b:b + 10000]
    p = 0
    while p + 4 <= 10000:
        line = block[p] | block[p + 1] << 8
        col = block[p + 2]
        n = block[p + 3]
        if line == 0 and col == 0:
            break
        if p + 4 + n > 10000:
            print('CROSSES')
            sys.exit(1)
        out.append(block[p + 4:p + 4 + n].decode('latin-1'))
        p += 4 + n
    if any(block[p:]) or 10000 - p < 12:
        print('TAIL')
        sys.exit(1)
print('\n'.join(out))
)");
    std::string walked;
    ASSERT_EQ(RunCommand("python3 '" + script + "' '" + path + "'", &walked), 0) << walked;
    std::string joined;
    for (const std::string& w : want)
        joined += w + "\n";
    EXPECT_EQ(walked, joined);

    // The reader jumps to a module in a later block and back. A module's
    // start line is the line where reading of its MODUL statement began:
    // the end of the line before.
    const ModuleSetRecord* second = Record("SECOND");
    const ModuleSetRecord* first = Record("M");
    ASSERT_TRUE(second && first);
    ASSERT_TRUE(second->found && first->found);
    EXPECT_EQ(first->filePosition, 0);
    EXPECT_EQ(first->startLine, 6);
    EXPECT_EQ(second->filePosition, 4 * 10000 + (200 - 4 * 48) * 204);  // 48 statements to a block
    EXPECT_EQ(second->startLine, 208);
    int32_t error = 0;
    std::string st;
    ASSERT_EQ(PositionAtModule(*second), 0);
    ReadStatement(error, false, st, true);
    EXPECT_EQ(st, "MODUL=SECOND");
    EXPECT_EQ(ZrVar.ErrorLine, 209);
    EXPECT_EQ(ZrVar.ErrorColumn, 14);
    ReadStatement(error, false, st, true);
    EXPECT_EQ(st, "END");
    ReadStatement(error, false, st, true);
    EXPECT_EQ(error, -999);
    ASSERT_EQ(PositionAtModule(*first), 0);
    ReadStatement(error, false, st, true);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(st, "MODUL=M");
    ModuleSetRecord beyond = *first;
    beyond.filePosition = 90000;
    EXPECT_EQ(PositionAtModule(beyond), -999);
}

TEST_F(CompilerPasses, StatementPassEndsAndErrors)
{
    // The text may end anywhere after END, even inside a statement.
    std::vector<std::string> lines = S2Lines();
    std::string text = Join(lines);
    ASSERT_EQ(Passes(text + "S1=<"), 0);
    // A bracket error in a module stops the pass; what was read before it
    // is in the file.
    SetUp();
    lines[8] = "S1=<,K[A[B]];";
    EXPECT_EQ(Passes(Join(lines)), 401);
    EXPECT_EQ(ZrVar.ErrorLine, 9);
    EXPECT_EQ(ZrVar.ErrorColumn, 10);
    // The report shows the empty statement the reader returned, not the
    // statement read before it.
    EXPECT_EQ(ZrVar.ErrorToken, "");
    EXPECT_EQ(ZrVar.ErrorValue, "");
    std::string bytes = ReadTestFile(ZrVar.StatementFile);
    EXPECT_EQ(bytes.size(), 10000u);
    EXPECT_EQ(bytes.substr(0, 14), Entry(6, 12, "MODUL=MAIN"));

    // A statement file that cannot be written.
    SetUp();
    ZrVar.StatementFile = "/dev/full";
    EXPECT_EQ(Passes(text), 303);
    // A full block that cannot be written stops the pass at once.
    SetUp();
    ZrVar.StatementFile = "/dev/full";
    lines = S2Lines();
    for (int i = 0; i < 100; ++i)
        lines.push_back(Statement(i) + ";");
    EXPECT_EQ(Passes(Join(lines)), 303);
    EXPECT_LT(ZrVar.ErrorLine, 70);
    // No file at all.
    SetUp();
    ASSERT_EQ(Pass1(text), 0);
    EXPECT_EQ(BuildStatementFile(), 303);
}

TEST_F(CompilerPasses, HighestStitchDensityNumber)
{
    std::vector<std::string> lines = S2Lines("[]=DIREKT;", "DIREKT");
    lines[7] = "S1=>,Y+1,FS5,FSB12,FSBL7,FSL3;";
    lines[8] = "S2=<,FS9;XS=FS300;";
    ASSERT_EQ(Passes(Join(lines)), 0);
    EXPECT_EQ(Rec().HighestDensityNumber, 12);
    EXPECT_EQ(Rec().RegularModule, 0);
    EXPECT_EQ(Rec().NextFLine, 14);
    EXPECT_EQ(FListe->Count(), 14);
    EXPECT_EQ(Rec().HighestFLine, 80);

    SetUp();
    lines[8] = "S2=<,FSB500;";
    ASSERT_EQ(Passes(Join(lines)), 0);
    EXPECT_EQ(Rec().HighestFLine, 500);
    EXPECT_EQ(Rec().NextFLine, 502);
}

TEST_F(CompilerPasses, DensityNumbersMustLeaveRoomForTheNextFreeList)
{
    // The next free F number (the highest named + 2) must still be an F
    // list number (up to 1999); a larger one stops at its statement.
    struct Case {
        std::string statement;
        CompileError error;
    };
    const Case cases[] = {
        {"S1=>,Y+1,FS1997;", {0, 8, 17, "S1", ">,Y+1,FS1997"}},
        {"S1=>,Y+1,FS1998;", {1000, 8, 17, "S1", ">,Y+1,FS1998"}},
        {"S1=>,Y+1,FSB2500;", {1000, 8, 18, "S1", ">,Y+1,FSB2500"}},
        {"S1=>,Y+1,FSL65535,K[AB];", {1000, 8, 25, "S1", ">,Y+1,FSL65535,K[AB]"}},
        {"S1=>,Y+1,FSW5000;", {0, 8, 18, "S1", ">,Y+1,FSW5000"}},  // a value, not a list
    };
    for (const Case& c : cases) {
        SetUp();
        std::vector<std::string> lines = S2Lines();
        lines[7] = c.statement;
        const int32_t code = Passes(Join(lines));
        EXPECT_EQ(code, c.error.code) << c.statement;
        if (code != 0) {
            EXPECT_EQ(Error(), c.error);
            EXPECT_EQ(FListe->Count(), 0);
        }
    }
}

// ---------------------------------------------------------------------------
// Module-set definitions

TEST_F(CompilerPasses, ModuleSetDefinitions)
{
    ASSERT_EQ(Pass1(Header({"[AB]=MAIN(1,2,3);", "[CD]=M([XYZ],7);", "[AB]=TWO;", "[]=MAIN;",
                            "[EF]=" + std::string(30, 'N') + "(123456789,X);", "[GH]=M();"})),
              0);
    ASSERT_EQ(ZrVar.ModuleSets.size(), 5u);
    const ModuleSetRecord& ab = ZrVar.ModuleSets[0];
    EXPECT_EQ(ab.code[0], 'A');
    EXPECT_EQ(ab.code[1], 'B');
    EXPECT_EQ(ab.name, "MAIN");
    EXPECT_EQ(ab.colourTable, "");
    EXPECT_EQ(ab.slots[0], "1");
    EXPECT_EQ(ab.slots[1], "2");
    EXPECT_EQ(ab.slots[2], "3");
    for (size_t i = 3; i < 30; ++i)
        EXPECT_EQ(ab.slots[i], "-32000") << i;
    EXPECT_EQ(ab.filePosition, 0);
    EXPECT_FALSE(ab.found);
    const ModuleSetRecord& cd = ZrVar.ModuleSets[1];
    EXPECT_EQ(cd.colourTable, "XYZ");
    EXPECT_EQ(cd.slots[0], "7");
    EXPECT_EQ(cd.slots[1], "-32000");
    EXPECT_EQ(ZrVar.ModuleSets[2].code[0], 255);
    EXPECT_EQ(ZrVar.ModuleSets[2].code[1], 255);
    EXPECT_EQ(ZrVar.ModuleSets[3].name, std::string(25, 'N'));
    EXPECT_EQ(ZrVar.ModuleSets[3].slots[0], "12345678");
    EXPECT_EQ(ZrVar.ModuleSets[3].slots[1], "X");
    EXPECT_EQ(ZrVar.ModuleSets[4].slots[0], "");
    // Newest first.
    EXPECT_EQ(FindModuleSet({'A', 'B'}), &ZrVar.ModuleSets[0]);
    EXPECT_EQ(FindModuleSet({255, 255}), &ZrVar.ModuleSets[2]);
    EXPECT_EQ(FindModuleSet({'X', 'Y'}), nullptr);
    FreeModuleSets();
    EXPECT_TRUE(ZrVar.ModuleSets.empty());
    EXPECT_EQ(ZrVar.ModuleSetsPresent, 0);
    EXPECT_EQ(FindModuleSet({'A', 'B'}), nullptr);

    std::string thirty, thirtyOne;
    for (int i = 1; i <= 30; ++i)
        thirty += (i > 1 ? "," : "") + std::to_string(i);
    thirtyOne = thirty + ",31";
    SetUp();
    ASSERT_EQ(Pass1(Header({"[AB]=M(" + thirty + ");"})), 0);
    EXPECT_EQ(ZrVar.ModuleSets[0].slots[29], "30");

    struct Bad {
        std::string line;
        int32_t code;
    };
    for (const Bad& b : {Bad{"[AB]=M(" + thirtyOne + ");", 404}, Bad{"[AB]=M([XYZABCDEFGH],1);", 1127},
                         Bad{"[AB]=M([XY]);", 404}, Bad{"[AB]=M(1;", 404}, Bad{"[A]=M;", 997},
                         Bad{"[ABC]=M;", 997}}) {
        SetUp();
        EXPECT_EQ(Pass1(Header({b.line})), b.code) << b.line;
    }
    SetUp();
    EXPECT_EQ(Pass1(Header({"[AB]=M([XYZABCDEFG],1);"})), 0);
    EXPECT_EQ(ZrVar.ModuleSets[0].colourTable, "XYZABCDEFG");
}

// ---------------------------------------------------------------------------
// Colour-specific stitch densities

TEST_F(CompilerPasses, DensitySlotLinesAtTheEndOfThePass)
{
    std::vector<std::string> lines = S2Lines();
    lines.insert(lines.begin() + 3, "$FD[V]=W10{Vorne},D5,W7\"hinten\",D8;");
    lines.insert(lines.begin() + 3, "$FD[A]=W10;");
    ASSERT_EQ(Passes(Join(lines)), 0);
    ASSERT_EQ(FListe->Count(), 4);
    EXPECT_EQ(Line(FListe, 1, 10), "01 00 02 00 0a 00 02 00 0a 00");
    EXPECT_EQ(Line(FListe, 2, 10), "02 00 02 00 07 00 02 00 07 00");
    EXPECT_EQ(Line(FListe, 3, 10), "03 00 00 00 05 00 00 00 05 00");
    EXPECT_EQ(Line(FListe, 4, 10), "04 00 00 00 08 00 00 00 08 00");
    EXPECT_EQ(ReadShortString(FListe->GetLine(1), 16, 80), "Vorne");
    EXPECT_EQ(ReadShortString(FListe->GetLine(2), 16, 80), "HINTEN");
    EXPECT_EQ(ReadShortString(FListe->GetLine(3), 16, 80), "");
    EXPECT_EQ(Hex(&Rec().FLineUsed[0], 6), "01 01 01 01 01 00");

    // Another table and slot distance from the bridge.
    SetUp();
    SetColourDensityTableLine(1, 1, 30);
    SetColourDensityTableLine(2, 1, 40);
    ZrVar.BridgeValue = 5;
    ASSERT_EQ(Passes(Join(lines)), 0);
    EXPECT_EQ(ListNumbers(FListe).substr(0, 3), "1 2");
    EXPECT_EQ(Line(FListe, 30, 6), "1e 00 02 00 0a 00");
    EXPECT_EQ(Line(FListe, 35, 6), "23 00 00 00 05 00");
    EXPECT_EQ(Line(FListe, 40, 6), "28 00 02 00 07 00");
    EXPECT_EQ(Line(FListe, 45, 6), "2d 00 00 00 08 00");
    EXPECT_EQ(Rec().HighestFLine, 83);  // 4 * 19 + 2, plus 5
}

TEST_F(CompilerPasses, ColourDensityGroups)
{
    // Without $FD_COLOR plane 2 is emptied.
    BildEbene2.present = true;
    BildEbene2.allocate(4);
    ASSERT_EQ(Passes(Join(S2Lines())), 0);
    EXPECT_EQ(BuildColourDensities(), 0);
    EXPECT_FALSE(BildEbene2.present);
    EXPECT_EQ(BildEbene2.rowCount(), 0u);
    EXPECT_EQ(FListe->Count(), 2);

    SetUp();
    BildEbene2.present = true;
    BildEbene2.allocate(4);
    std::vector<std::string> lines = S2Lines();
    lines.insert(lines.begin() + 3, "$FD[B]=W20,W21,D22,D23;");
    lines.insert(lines.begin() + 3, "$FD[A]=W10,W11,D12,D13;");
    lines.insert(lines.begin() + 3, "$FD_COLOR=[AB];");
    ASSERT_EQ(Passes(Join(lines)), 0);
    ASSERT_EQ(FListe->Count(), 2);
    EXPECT_EQ(BuildColourDensities(), 0);
    EXPECT_TRUE(BildEbene2.present);
    // Four groups (side 1 slot 1, side 1 slot 2, side 2 slot 1, side 2 slot
    // 2) from line 2: a line opening a sub-list with the first colour's
    // values and no colour set, then a continuation line with colour B.
    // Each continuation is written as an insert in front of a fresh line,
    // which leaves that fresh line behind at the end.
    EXPECT_EQ(ListNumbers(FListe), "1 2 0 3 0 4 0 5 0 6");
    EXPECT_EQ(Line(FListe, 2, 16), "02 00 02 00 0a 00 02 00 0a 00 00 00 00 00 00 00");
    EXPECT_EQ(Line(FListe, 3, 16), "00 00 02 00 14 00 02 00 14 00 00 00 00 00 10 00");
    EXPECT_EQ(Line(FListe, 4, 16), "03 00 02 00 0b 00 02 00 0b 00 00 00 00 00 00 00");
    EXPECT_EQ(Line(FListe, 5, 16), "00 00 02 00 15 00 02 00 15 00 00 00 00 00 10 00");
    EXPECT_EQ(Line(FListe, 6, 16), "04 00 00 00 0c 00 00 00 0c 00 00 00 00 00 00 00");
    EXPECT_EQ(Line(FListe, 7, 16), "00 00 00 00 16 00 00 00 16 00 00 00 00 00 10 00");
    EXPECT_EQ(Line(FListe, 8, 16), "05 00 00 00 0d 00 00 00 0d 00 00 00 00 00 00 00");
    EXPECT_EQ(Line(FListe, 9, 16), "00 00 00 00 17 00 00 00 17 00 00 00 00 00 10 00");
    EXPECT_EQ(Line(FListe, 10, 16), "06 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(Rec().NextFLine, 10);
    EXPECT_EQ(Rec().NextFSubList, 6);

    // A refused line stops the groups and its code stays; an earlier error
    // is never overwritten.
    SetUp();
    ASSERT_EQ(Passes(Join(lines)), 0);
    Rec().NextFSubList = 2000;
    EXPECT_EQ(BuildColourDensities(), 1000);
    EXPECT_EQ(FListe->Count(), 2);
    ZrVar.ErrorCode = 413;
    EXPECT_EQ(BuildColourDensities(), 413);
}

TEST_F(CompilerPasses, FixUpOfUsedDensityLines)
{
    std::vector<std::string> lines = S2Lines();
    lines.insert(lines.begin() + 3, "$FS_?=D10;$FS_?=D20;$FS_?=D30;$N0=OFF;");
    ASSERT_EQ(Passes(Join(lines)), 0);
    ASSERT_EQ(FListe->Count(), 3);
    // Off by default: nothing changes.
    FixUsedDensityLines();
    EXPECT_EQ(Line(FListe, 2, 6), "02 00 00 00 14 00");

    ZrVar.DensityFixUp = 1;
    // Only lines still marked 1 (defined, never named by a module) are
    // re-initialised: a line a module used (2) keeps its values.
    EXPECT_EQ(Rec().FLineUsed[2], 1);
    Rec().FLineUsed[2] = 2;
    ZrVar.ErrorCode = 991;
    FixUsedDensityLines();
    EXPECT_EQ(ZrVar.ErrorCode, 991);
    EXPECT_EQ(Line(FListe, 1, 6), "01 00 00 00 00 00");
    EXPECT_EQ(Line(FListe, 2, 6), "02 00 00 00 14 00");
    EXPECT_EQ(Line(FListe, 3, 6), "03 00 00 00 00 00");

    // Lines in use far above the flags: the flags end at 200.
    Rec().HighestFLine = 60000;
    Rec().FLineUsed[200] = 1;
    FixUsedDensityLines();
    EXPECT_EQ(FListe->Count(), 200);
}

TEST_F(CompilerPasses, FixUpKeepsTheDensityLinesAModuleUses)
{
    // Header lines 1..3; the module names line 2 ("FSL2"). With the fix-up
    // on, the whole compile re-initialises lines 1 and 3 and leaves line 2.
    std::vector<std::string> lines = S2Lines();
    lines.insert(lines.begin() + 3, "$N0=OFF;$FS_?=D10;$FS_?=D20;$FS_?=D30;");
    lines[8] = "S1=>,Y+1,K[AB],FSL2;";
    ZrVar.ScriptText = Join(lines);
    ZrVar.DensityFixUp = 1;
    ASSERT_EQ(ScriptCompile(), 0);
    EXPECT_EQ(Line(FListe, 1, 6), "01 00 00 00 00 00");
    EXPECT_EQ(Line(FListe, 2, 6), "02 00 00 00 14 00");
    EXPECT_EQ(Line(FListe, 3, 6), "03 00 00 00 00 00");
    EXPECT_EQ(Hex(ZListe->GetLine(1) + 40, 4), "01 00 02 00");
}
