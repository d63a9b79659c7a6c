// A named module set knitted along the pattern: plane 0 filled as a pattern
// load leaves it, then the same compile command and dump the probe prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/model/programmodel.h"
#include "tests/kernel/compiler/compile_testing.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

using namespace compiletest;

namespace {
using Rows = std::map<uint16_t, std::vector<uint8_t>>;

// Plane 0 of width x height with the given rows (others stay colour 0).
std::function<void()> Pattern(uint16_t width, uint16_t height, Rows rows)
{
    return [=] {
        ProgrammKopf.SetWidth(width);
        ProgrammKopf.SetHeight(height);
        BildEbene0.allocate(height);
        BildEbene0.present = true;
        BildEbene0.second = true;
        for (const auto& [row, cells] : rows)
            P_WritePatroneRow(row, cells.data(), static_cast<uint16_t>(cells.size()), 0);
    };
}

// A scheme sequence line as the list stores it.
struct S {
    int kind = 0, start = 0, offset = 0, choice = 0, reps = 0;
    int ndStart = 0, ndOffset = 0;
    int yStartFront = 0, yOffsetFront = 0, yStartBack = 0, yOffsetBack = 0;
};
std::string SHex(const S& s)
{
    std::vector<uint8_t> b(108, 0);
    auto u16 = [&](size_t off, int v) {
        b[off] = uint8_t(v & 0xff);
        b[off + 1] = uint8_t((v >> 8) & 0xff);
    };
    b[0] = uint8_t(s.kind);
    u16(2, s.start);
    u16(4, s.offset);
    b[6] = uint8_t(s.choice);
    u16(8, s.reps);
    u16(12, s.ndStart);
    b[14] = s.ndOffset < 0 ? 1 : 0;
    u16(16, s.ndOffset < 0 ? -s.ndOffset : s.ndOffset);
    u16(18, s.yStartFront);
    u16(20, s.yOffsetFront);
    u16(22, s.yStartBack);
    u16(24, s.yOffsetBack);
    std::string hex;
    for (uint8_t x : b)
        hex += H({x});
    return hex;
}
const std::string kEmptyS = SHex(S{});

// The pattern rows the Z lines knit (side 0 and side 1 agree here).
std::vector<int> ZRows(const Result& r)
{
    std::vector<int> rows;
    for (int i = 1; i <= r.Count('Z'); ++i) {
        const std::string key = "Z " + std::to_string(i);
        const std::string side1 = r.Bytes(key, 78, 2);
        const std::string side0 = r.Bytes(key, 38, 2);
        EXPECT_EQ(side0, side1) << key;
        rows.push_back(std::stoi(side0.substr(2, 2) + side0.substr(0, 2), nullptr, 16));
    }
    return rows;
}

// Row cells: module-set code "AB" (colours 19, 20) or "CD" (21, 22), then
// the cell of the mode code.
std::vector<uint8_t> AB(uint8_t mode)
{
    return {19, 20, mode};
}
std::vector<uint8_t> CD(uint8_t mode)
{
    return {21, 22, mode};
}

// S3 knitting rows 2 to ymax, with more directives after the machine type
// and, when asked, a second set "CD" of the same module.
Lines S3With(int ymax, const Lines& directives = {}, bool secondSet = false)
{
    Lines s = S3();
    s[3] = "$YMAX=" + std::to_string(ymax) + ";";
    s.insert(s.begin() + 3, directives.begin(), directives.end());
    if (secondSet)
        s.insert(s.begin() + 5 + long(directives.size()), "[CD]=KNIT;");
    return s;
}

Rows S3Rows()
{
    return {{2, AB(0)}, {3, AB(0)}, {4, AB(0)}, {5, AB(0)}, {6, AB(1)}};
}
}  // namespace

TEST(ModuleExpansion, IdenticalRowsBecomeRepetitions)
{
    Result r = Compile(S3(), Pattern(3, 6, S3Rows()));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(ZRows(r), (std::vector<int>{2, 2, 6, 6}));
    EXPECT_EQ(r.lines["S 1"], SHex({.start = 1, .offset = 1, .reps = 4, .yOffsetFront = 1, .yOffsetBack = 1}));
    EXPECT_EQ(r.lines["S 2"], SHex({.start = 3, .offset = 1, .reps = 1}));
    // The reads of the last step make the lines up to 7 exist.
    EXPECT_EQ(r.Count('S'), 7);
    for (int i = 3; i <= 7; ++i)
        EXPECT_EQ(r.lines["S " + std::to_string(i)], kEmptyS) << i;
}

TEST(ModuleExpansion, WithoutYmaxTheScanEndsWithThePattern)
{
    Result withMax = Compile(S3(), Pattern(3, 6, S3Rows()));
    Lines noMax = S3();
    noMax.erase(noMax.begin() + 3);  // "$YMAX=6;"
    Result r = Compile(noMax, Pattern(3, 6, S3Rows()));
    EXPECT_EQ(r.report, std::vector<std::string>{"OK"});
    EXPECT_EQ(r.dump, withMax.dump);

    // Trailing "--" rows and rows without a module beyond the height end it
    // the same way.
    Rows dashes = S3Rows();
    dashes[7] = {15, 15, 0};
    dashes[8] = {15, 15, 0};
    r = Compile(noMax, Pattern(3, 8, dashes));
    EXPECT_EQ(r.report, std::vector<std::string>{"OK"});
    EXPECT_EQ(ZRows(r), (std::vector<int>{2, 2, 6, 6}));
}

TEST(ModuleExpansion, RowsOfOneModeFormAGroup)
{
    Result r = Compile(S3With(4, {}, true), Pattern(3, 4, {{2, AB(0)}, {3, CD(0)}, {4, AB(1)}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.lines["S 1"], SHex({.kind = 1, .start = 10, .offset = 1, .reps = 1}));
    EXPECT_EQ(r.lines["S 2"], SHex({.start = 5, .offset = 1, .reps = 1}));
    EXPECT_EQ(r.lines["S 10"], SHex({.start = 1, .offset = 1, .reps = 1}));
    EXPECT_EQ(r.lines["S 11"], SHex({.start = 3, .offset = 1, .reps = 1}));
    for (int i = 3; i <= 31; ++i) {
        if (i != 10 && i != 11) {
            EXPECT_EQ(r.lines["S " + std::to_string(i)], kEmptyS) << i;
        }
    }
    EXPECT_EQ(ZRows(r), (std::vector<int>{2, 2, 3, 3, 4, 4}));
}

TEST(ModuleExpansion, NeedleDivisionRowsWriteNLines)
{
    Result r = Compile(S3With(3, {"$X=4;", "$N0=OFF;"}), Pattern(10, 3, {{2, {9, 9, 0, 3, 3, 3, 8, 8, 0, 0}}, {3, AB(0)}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Count('N'), 2);
    EXPECT_EQ(r.Bytes("N 1", 0, 10), H({0, 0, 4, 0, 2, 0, 0, 0, 1, 0}));
    EXPECT_EQ(r.Bytes("N 2", 0, 10), H({0, 0, 7, 0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(r.lines["S 1"], SHex({.start = 1, .offset = 1, .reps = 1, .ndStart = 1, .ndOffset = 1}));
}

TEST(ModuleExpansion, NeedleDivisionWithTheZeroLine)
{
    // $N0 on (its default): every ">>" row starts with the line of start 1;
    // two ">>" rows without a module row between them share their place.
    Lines s = S3();
    s[3] = "$YMAX=4;";
    s.insert(s.begin() + 3, "$X=4;");
    Result r = Compile(s, Pattern(10, 4, {{2, {9, 9, 0, 8, 8}}, {3, {9, 9, 0, 3, 3}}, {4, AB(0)}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("N 1", 0, 10), H({0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r.Bytes("N 2", 0, 10), H({0, 0, 4, 0, 1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(r.Count('N'), 2);
    EXPECT_EQ(r.lines["S 1"], SHex({.start = 1, .offset = 1, .reps = 1, .ndStart = 1, .ndOffset = 1}));
}

TEST(ModuleExpansion, ARowWithoutModuleSetIsNotFound)
{
    ScopedRecordingHost recorder;
    Rows rows = S3Rows();
    rows[2] = CD(0);
    Result r = Compile(S3(), Pattern(3, 6, rows));
    EXPECT_EQ(r.report,
              (std::vector<std::string>{"MSG Y2: [CD]", "MSG Modul wurde nicht gefunden", "ERROR 413 0 0 Y2: [CD]"}));
    EXPECT_TRUE(recorder.host.callsOf("setScriptCursor").empty());
}

TEST(ModuleExpansion, AModuleMayNotRunIntoAnotherModulesRow)
{
    Lines s = S3();
    s[3] = "$YMAX=3;";
    s[9] = "S1=<,Y+1,K[AB];";
    Result r = Compile(s, Pattern(3, 3, {{2, AB(0)}, {3, CD(0)}}));
    ASSERT_GE(r.report.size(), 2u);
    EXPECT_EQ(r.report[r.report.size() - 2], "MSG Modulwechsel noch nicht erlaubt");
    EXPECT_EQ(r.Last(), "ERROR 414 0 0 Y3: [CD]");
}

TEST(ModuleExpansion, AnErrorKeepsWhatWasWritten)
{
    Lines s = S3();
    s.erase(s.begin() + 9);  // the module knits one line only
    Result r = Compile(s, Pattern(3, 6, S3Rows()));
    EXPECT_EQ(r.Last(), "ERROR 422 9 16 S1=>,Y+1,K[AB]");
    EXPECT_EQ(r.Count('Z'), 1);
    EXPECT_EQ(r.lines["S 1"], SHex({.start = 1, .offset = 0, .reps = 4, .yOffsetFront = 1, .yOffsetBack = 1}));
}

TEST(ModuleExpansion, AModuleWithoutFeedFailsOnlyOverThePattern)
{
    Lines s = S3();
    s[8] = "S1=>,K[AB];";
    EXPECT_EQ(Compile(s, Pattern(3, 6, S3Rows())).Last(), "ERROR 991 11 5 END");
    s[4] = "[]=KNIT;";
    Result r = Compile(s, Pattern(3, 6, S3Rows()));
    EXPECT_EQ(r.report, std::vector<std::string>{"OK"});
}

TEST(ModuleExpansion, AModuleThatEndsBeforeItsFirstRowHasNoFeed)
{
    // Mended: moving back below the row the module began on leaves nothing
    // to repeat; it is a missing feed, not a negative row count.
    Lines s = S3();
    s.insert(s.begin() + 3, "$Y=3;");
    s[10] = "S1=<,Y-2,K[AB];";
    Rows rows = S3Rows();
    rows[1] = AB(0);
    Result r = Compile(s, Pattern(3, 6, rows));
    EXPECT_EQ(r.Last(), "ERROR 991 12 5 END");
}

TEST(ModuleExpansion, AModuleThatWritesNoZLineLeavesNoSLine)
{
    Lines s = S3();
    s[8] = "TZ=5;";
    s[9] = "S1=Y+1;";
    Result r = Compile(s, Pattern(3, 6, S3Rows()));
    EXPECT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Count('Z'), 1);  // the speed statement's line 1
    for (const auto& [key, hex] : r.lines) {
        if (key[0] == 'S') {
            EXPECT_EQ(hex, kEmptyS) << key;
        }
    }
}

TEST(ModuleExpansion, ASetWhoseModuleIsMissingIsNotFound)
{
    Lines s = S3();
    s[4] = "[AB]=OTHER;";
    Result r = Compile(s, Pattern(3, 6, S3Rows()));
    EXPECT_EQ(r.Last(), "ERROR 413 0 0 OTHER");
    EXPECT_EQ(r.Count('Z'), 0);
}

TEST(ModuleExpansion, SelectorRowsTakeTheirRepetitionsFromTheSelectorList)
{
    // Mode code 9 (cell 8): a selector row. Cells 4 and 5 = 2 and 9 set WS
    // from the row: 10 - (32 + 1) = -23.
    Lines s = S3();
    s[3] = "$YMAX=2;";
    Result r = Compile(s, Pattern(5, 2, {{2, {19, 20, 8, 2, 9}}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.lines["S 1"], SHex({.start = 1, .offset = 1, .choice = 1, .reps = 23}));
    EXPECT_GE(r.Count('W'), 23);  // the comment of selector line 23 was read

    // Without the row's own value, WS counts on from -32.
    r = Compile(s, Pattern(3, 2, {{2, {19, 20, 8}}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.lines["S 1"], SHex({.start = 1, .offset = 1, .choice = 1, .reps = 32}));

    // A repeated selector row gets a group line of its own; the module line
    // goes to the sub-sequence, which the last step moves behind.
    s[3] = "$YMAX=3;";
    r = Compile(s, Pattern(3, 3, {{2, {19, 20, 8}}, {3, {19, 20, 8}}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.lines["S 1"], SHex({.kind = 1, .start = 4, .offset = 0, .choice = 1, .reps = 32}));
    EXPECT_EQ(r.lines["S 4"], SHex({.start = 1, .offset = 1, .reps = 2, .yOffsetFront = 1, .yOffsetBack = 1}));
    EXPECT_EQ(r.lines["S 2"], kEmptyS);
    EXPECT_EQ(r.lines["S 10"], kEmptyS);
}

TEST(ModuleExpansion, TrailingNeedleDivisionRowsEndTheScan)
{
    Lines s = S3();
    s.erase(s.begin() + 3);  // no $YMAX
    Rows rows = S3Rows();
    rows[7] = {9, 9, 0, 3};
    Result r = Compile(s, Pattern(4, 7, rows));
    EXPECT_EQ(r.report, std::vector<std::string>{"OK"});
    EXPECT_EQ(ZRows(r), (std::vector<int>{2, 2, 6, 6}));
}

namespace {
// A plain TIFF of the cells, as python3 writes it: 8-bit samples, one strip,
// the top row first.
std::string WritePlainTiff(uint16_t width, uint16_t height, const Rows& rows)
{
    std::string cells;
    for (int y = height; y >= 1; --y) {
        std::vector<uint8_t> row(width, 0);
        auto it = rows.find(static_cast<uint16_t>(y));
        if (it != rows.end())
            std::copy(it->second.begin(), it->second.end(), row.begin());
        for (uint8_t c : row)
            cells += std::to_string(c) + ",";
    }
    const std::string file = TestHome() + "pattern.tif";
    const std::string py = TestHome() + "tiff.py";
    WriteTestFile(py, "import struct,sys\n"
                      "w,h=" + std::to_string(width) + "," + std::to_string(height) + "\n"
                      "data=bytes([" + cells + "])\n"
                      "tags=[(256,4,1,w),(257,4,1,h),(258,3,1,8),(259,3,1,1),(262,3,1,1),(273,4,1,8),"
                      "(277,3,1,1),(278,4,1,h),(279,4,1,len(data))]\n"
                      "ifd=8+len(data)\n"
                      "out=b'II*\\x00'+struct.pack('<I',ifd)+data+struct.pack('<H',len(tags))\n"
                      "for t,ty,n,v in tags:\n"
                      "    out+=struct.pack('<HHI',t,ty,n)+(struct.pack('<HH',v,0) if ty==3 else struct.pack('<I',v))\n"
                      "out+=struct.pack('<I',0)\n"
                      "open(sys.argv[1],'wb').write(out)\n");
    EXPECT_EQ(RunCommand("python3 " + py + " " + file), 0);
    return file;
}

std::vector<std::string> ProbeLines(const std::string& args)
{
    std::string out;
    RunCommand(ToolsFolder() + "kernel_probe compile " + args + " 2>/dev/null", &out);
    std::vector<std::string> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::vector<std::string> InProcessLines(const Result& r)
{
    std::vector<std::string> lines = r.report;
    std::istringstream in(r.dump);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}
}  // namespace

TEST(ModuleExpansion, TheProbeWithAPatternFileGivesTheSameOutput)
{
    struct Case {
        Lines script;
        uint16_t width, height;
        Rows rows;
    };
    const Lines groups = S3With(4, {}, true);
    const Lines division = S3With(3, {"$X=4;", "$N0=OFF;"});
    Rows missing = S3Rows();
    missing[2] = CD(0);
    const Case cases[] = {
        {S3(), 3, 6, S3Rows()},
        {groups, 3, 4, {{2, AB(0)}, {3, CD(0)}, {4, AB(1)}}},
        {division, 10, 3, {{2, {9, 9, 0, 3, 3, 3, 8, 8, 0, 0}}, {3, AB(0)}}},
        {S3(), 3, 6, missing},
    };
    for (const Case& c : cases) {
        const std::string tiff = WritePlainTiff(c.width, c.height, c.rows);
        const std::string script = WriteTestFile(TestHome() + "s.skx", Text(c.script));
        const Result inProcess = Compile(c.script, Pattern(c.width, c.height, c.rows));
        EXPECT_EQ(ProbeLines(script + " --pattern " + tiff + " --dump"), InProcessLines(inProcess));
    }
}

TEST(ModuleExpansion, ErrorsOfTheExpansionItselfNameTheRow)
{
    // A first row past the pattern reads cells of 99, which name no set; the
    // expansion's own S and N lines past their lists name the row they are
    // written for, not the module's last statement.
    struct Case {
        const char* what;
        Lines script;
        std::function<void()> pattern;
        std::string error;
    };
    const Case cases[] = {
        {"no pattern", S3(), {}, "ERROR 413 0 0 Y2: [c]"},
        {"pattern below $Y", S3With(10, {"$Y=8;"}), Pattern(3, 6, S3Rows()), "ERROR 413 0 0 Y8: [c]"},
        {"S line 10000", S3With(4, {"$S=3333;"}), Pattern(3, 4, {{2, AB(0)}, {3, AB(1)}, {4, AB(2)}}),
         "ERROR 1000 0 0 Y3: [AB]"},
        {"N line 2000", S3With(3, {"$X=4;", "$N=1999;"}), Pattern(5, 3, {{2, {9, 9, 0, 3}}, {3, AB(0)}}),
         "ERROR 1000 0 0 Y2: [>>]"},
        // The last step's moves belong to no row: the report names none.
        {"sub-sequence moved past S line 9999", S3With(4, {"$S=3330;"}, true),
         Pattern(3, 4, {{2, AB(0)}, {3, CD(0)}, {4, AB(1)}}), "ERROR 1000 0 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedRecordingHost recorder;
        const Result r = Compile(c.script, c.pattern);
        EXPECT_EQ(r.Last(), c.error);
        EXPECT_TRUE(recorder.host.callsOf("setScriptCursor").empty());
    }

    // From outside, as the user who forgot the pattern meets it.
    const std::string script = WriteTestFile(TestHome() + "s.skx", Text(S3()));
    EXPECT_EQ(ProbeLines(script),
              (std::vector<std::string>{"MSG Y2: [c]", "MSG Modul wurde nicht gefunden", "ERROR 413 0 0 Y2: [c]"}));
}

TEST(ModuleExpansion, APatternFileThatCannotBeReadStopsTheProbe)
{
    const std::string script = WriteTestFile(TestHome() + "s.skx", Text(S3()));
    WriteTestFile(TestHome() + "bad.tif", "not a tiff");
    const std::vector<std::string> lines = ProbeLines(script + " --pattern " + TestHome() + "bad.tif");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("ERROR ", 0), 0u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "OK"), 0);
}

TEST(ModuleExpansion, EachSetMapsTheSharedModulesColoursAndParameters)
{
    // One module, knitted for two sets with their own colours and speed.
    Lines s = {"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";", "$YMAX=5;", "[AB]=KNIT([AB],50);",
               "[CD]=KNIT([CD],60);", "END;", "MODUL KNIT;", "BEGIN", "COLTAB=[xy];", "S1=>,Y+1,K[xy];", "TZ=#1;",
               "S1=<,K[x];", "END;"};
    Result r = Compile(s, Pattern(3, 5, {{2, AB(0)}, {3, CD(1)}, {4, AB(2)}, {5, CD(3)}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    const std::string ab = H({0, 0, 0x18, 0}), cd = H({0, 0, 0x60, 0});
    const std::string a = H({0, 0, 8, 0}), c = H({0, 0, 0x20, 0});
    const std::string colours[] = {ab, a, cd, c, ab, a, cd, c};
    const std::string speeds[] = {"3200", "0000", "3c00", "0000", "3200", "0000", "3c00", "0000"};
    ASSERT_EQ(r.Count('Z'), 8);
    for (int i = 0; i < 8; ++i) {
        const std::string key = "Z " + std::to_string(i + 1);
        EXPECT_EQ(r.Bytes(key, 52, 4), colours[i]) << key;
        EXPECT_EQ(r.Bytes(key, 6, 2), speeds[i]) << key;
    }

    // Parameters alone, without colour tables.
    s = {"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";", "$YMAX=5;", "[AB]=KNIT(50);", "[CD]=KNIT(60);", "END;",
         "MODUL KNIT;", "BEGIN", "S1=>,Y+1,K[AB];", "TZ=#1;", "S1=<,K[AB];", "END;"};
    r = Compile(s, Pattern(3, 5, {{2, AB(0)}, {3, CD(1)}, {4, AB(2)}, {5, CD(3)}}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    for (int i = 0; i < 8; ++i) {
        const std::string key = "Z " + std::to_string(i + 1);
        EXPECT_EQ(r.Bytes(key, 6, 2), speeds[i]) << key;
    }
}
