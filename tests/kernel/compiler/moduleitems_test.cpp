// The items of the module statements, one by one: what each writes into the
// knitting scheme line, and the helpers behind them.
#include <gtest/gtest.h>

#include <memory>

#include "kernel/compiler/carrierlist.h"
#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/moduletext.h"
#include "kernel/compiler/needleselection.h"
#include "kernel/compiler/schemesequence.h"
#include "kernel/compiler/statementparameters.h"
#include "kernel/compiler/zlinewriter.h"
#include "kernel/listaccess/plistaccess.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "tests/kernel/compiler/compile_testing.h"

using namespace compiletest;

namespace {
const std::string kA = H({0, 0, 8, 0});
const std::string kB = H({0, 0, 0x10, 0});
const std::string kAB = H({0, 0, 0x18, 0});

// S2 with its first system statement (line 8) replaced.
Result First(const std::string& statement, const Lines& header = {})
{
    Lines s = Replace(S2(), 8, 8, {statement});
    s.insert(s.begin() + 3, header.begin(), header.end());
    return Compile(s);
}
}  // namespace

TEST(ModuleText, NumbersReportWhereTheyStop)
{
    int32_t v = -1;
    EXPECT_EQ(NumberCode("12", v), 0);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(NumberCode("+7", v), 0);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(NumberCode("-2147483648", v), 0);
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_EQ(NumberCode("1X", v), 2);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(NumberCode("", v), 1);
    EXPECT_EQ(NumberCode("-", v), 2);
    EXPECT_EQ(NumberCode("9999999999", v), 10);
    std::string s = "42AB";
    int64_t n = 0;
    EXPECT_TRUE(TakeDigits(s, n));
    EXPECT_EQ(n, 42);
    EXPECT_EQ(s, "AB");
    EXPECT_FALSE(TakeDigits(s, n));
}

TEST(StatementParameters, SlotsAndColoursOfTheModuleSet)
{
    ModuleSetRecord set;
    set.slots.fill("-32000");
    set.slots[2] = "X3";
    set.slots[0] = "#3";
    std::string st = "TZ=#3,#1,#31,#2,#";
    EXPECT_EQ(ExpandStatementParameters(st, 254, &set, ""), 0);
    EXPECT_EQ(st, "TZ=X3,X3,#31,#2,#");  // the search stops at the first "#" it cannot fill

    set.colourTable = "XY";
    st = "S1=>,K[ab]-F[Ab],ab";
    EXPECT_EQ(ExpandStatementParameters(st, 254, &set, "ab"), 0);
    EXPECT_EQ(st, "S1=>,K[XY]-F[AY],ab");

    st = "S1=>,K[ab]";
    EXPECT_EQ(ExpandStatementParameters(st, 254, nullptr, "ab"), 0);
    EXPECT_EQ(st, "S1=>,K[ab]");

    set.slots[0] = "#1";
    st = "TZ=#1";
    EXPECT_EQ(ExpandStatementParameters(st, 254, &set, ""), 402);
    set.slots[0] = "#1#1";
    st = "TZ=#1";
    EXPECT_EQ(ExpandStatementParameters(st, 254, &set, ""), 402);
    EXPECT_LE(st.size(), 255u);
}

TEST(NeedleSelectionNames, NamedSelectionsIgnoreCase)
{
    EXPECT_EQ(NamedSelection("rr"), std::string("!\0", 2));
    EXPECT_EQ(NamedSelection("AUTO"), std::string("!\x01TO", 4));
    EXPECT_EQ(NamedSelection("1:1"), std::string("!\x02" "1", 3));
    EXPECT_EQ(NamedSelection("-2:1"), std::string("!\x05:1", 4));
    EXPECT_EQ(NamedSelection("NzA2"), std::string("!\x06" "A2", 4));
    EXPECT_EQ(NamedSelection("nza2"), std::string("!\x06" "A2", 4));
    EXPECT_EQ(NamedSelection("Nz"), std::string("!\x06", 2));  // never past the text
    EXPECT_EQ(NamedSelection("AB"), "AB");
}

TEST(CarrierLines, SameCarrierLineComparesEveryPositionField)
{
    ProgramCommandBlock a;
    a.SetU16(pblock::kListNumber, 3);
    a.SetU8(pblock::kRail, 1);
    a.SetU8(pblock::kBox, 'A');
    a.SetU16(pblock::kOffsetLeft, 0x8000);
    a.SetText("AB", pblock::kColours, 32);
    ProgramCommandBlock b = a;
    b.SetU16(pblock::kListNumber, 7);
    EXPECT_EQ(CarrierList::SameCarrierLine(a, b), 1);
    b.SetU16(pblock::kListNumber, 0);
    EXPECT_EQ(CarrierList::SameCarrierLine(a, b), 0);
    b = a;
    b.SetText("A", pblock::kColours, 32);
    EXPECT_EQ(CarrierList::SameCarrierLine(a, b), 0);
    b = a;
    b.SetI16(pblock::kOffsetRight, 5);
    EXPECT_EQ(CarrierList::SameCarrierLine(a, b), 0);
    b = a;
    b.SetU8(pblock::kSwingLeft, 2);
    EXPECT_EQ(CarrierList::SameCarrierLine(a, b), 0);
}

TEST(ModuleItems, CarrierPositionsWithOffsets)
{
    Result r = First("S1=>,Y+1,FF1A(+5N)[AB],FF02(-3S)[B];");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("P 1", 0, 16), H({1, 0, 1, 1, 0, 2, 0, 0, 0, 0, 0x18, 0, 0, 0x80, 5, 0}));
    EXPECT_EQ(r.Bytes("P 2", 0, 16), H({0, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0x10, 0, 0xfd, 0xff, 0, 0x80}));
    EXPECT_EQ(r.Bytes("Z 1", 28, 3), H({1, 0, 0}));

    EXPECT_EQ(First("S1=>,Y+1,FF1A(+5)[AB];").Last(), "ERROR 404 8 23 S1=>,Y+1,FF1A(+5)[AB]");
    EXPECT_EQ(First("S1=>,Y+1,FF1A(+5N;").Last(), "ERROR 404 8 19 S1=>,Y+1,FF1A(+5N");
    EXPECT_EQ(First("S1=>,Y+1,FF1A[AB;").Last().rfind("ERROR 401 8 18", 0), 0u);
    EXPECT_EQ(First("S1=>,Y+1,FF1AB;").Last(), "ERROR 404 8 16 S1=>,Y+1,FF1AB");
    EXPECT_EQ(First("S1=>,Y+1,FF1A;").Last(), "OK");  // four characters: a direct carrier
    EXPECT_EQ(First("S1=>,Y+1,FF1A[AB],FF1;").Last(), "ERROR 1121 8 23 S1=>,Y+1,FF1A[AB],FF1");
    EXPECT_EQ(First("S1=>,Y+1,FF9;").Last(), "ERROR 1107 8 14 S1=>,Y+1,FF9");
    EXPECT_EQ(First("S1=>,Y+1,FF1A(+40000N)[AB];").Last(), "ERROR 1505 8 28 S1=>,Y+1,FF1A(+40000N)[AB]");
}

TEST(ModuleItems, DirectCarriersAddUp)
{
    Result r = First("S1=>,Y+1,FF1,FF08,FF2A;");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 28, 3), H({0, 0, 0x83}));
    EXPECT_EQ(r.Count('P'), 0);
}

TEST(ModuleItems, FlagsOfLineSystemAndSide)
{
    Result r = Compile(Replace(S2(), 8, 9,
                               {"S1=>,Y+1,BLOW,NZ,HOME;", "SZ=1;", "BLOW=Z,F,Q;", "SENSOR;", "S1=<,R,PJ5,K[AB];",
                                "WA=*;", "S1=>,L,K[AB];", "KA=^;"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 8, 3), H({1, 1, 1}));  // SZ, BLOW=Z, SENSOR
    EXPECT_EQ(r.Bytes("Z 1", 31, 2), H({1, 1}));    // BLOW and HOME of system 1
    EXPECT_EQ(r.Bytes("Z 1", 48, 1), "01");         // NZ of side 0
    EXPECT_EQ(r.Bytes("Z 1", 119, 1), "01");        // BLOW=F: the last system
    EXPECT_EQ(r.Bytes("Z 2", 10, 1), "00");         // SENSOR, then cleared by WA
    EXPECT_EQ(r.Bytes("Z 2", 0, 1), "01");          // WA=*: take-down mode 1
    EXPECT_EQ(r.Bytes("Z 2", 32, 1), "01");         // R
    EXPECT_EQ(r.Bytes("Z 3", 10, 1), "00");         // no sensor after WA
    EXPECT_EQ(r.Bytes("Z 3", 32, 1), "01");         // L
    EXPECT_EQ(r.Bytes("Z 3", 27, 1), "02");         // comb "1"
}

TEST(ModuleItems, SensorMarksEveryLaterLine)
{
    Result r = Compile(Replace(S2(), 8, 9, {"SENSOR;", "S1=>,Y+1,K[AB];", "S1=<,K[AB];"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 10, 1), "01");
    EXPECT_EQ(r.Bytes("Z 2", 10, 1), "01");
}

TEST(ModuleItems, PatternLineValues)
{
    Result r = Compile(Replace(S2(), 8, 8, {"$YV_OFF=10;", "$YH_OFF=-1;", "S1=>,Y+1,YL1,K[AB];"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 37, 3), H({0, 13, 0}));  // row 2 + 10 + 1
    EXPECT_EQ(r.Bytes("Z 1", 77, 3), H({0, 2, 0}));   // row 2 - 1 + 1
    EXPECT_EQ(r.Bytes("Z 2", 37, 3), H({0, 12, 0}));  // a new statement drops YL
    r = First("S1=>,Y+1,K[AB],YV5,YHD-3;");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 37, 3), H({0, 5, 0}));
    EXPECT_EQ(r.Bytes("Z 1", 77, 3), H({1, 0xfd, 0xff}));
    r = First("S1=>,Y+1,K[AB],YW7;");
    EXPECT_EQ(r.Bytes("Z 1", 37, 3), H({3, 7, 0}));
    EXPECT_EQ(r.Bytes("Z 1", 77, 3), H({3, 7, 0}));
    r = First("S1=>,Y+1,K[AB],YD9;");
    EXPECT_EQ(r.Bytes("Z 1", 77, 3), H({2, 9, 0}));
    EXPECT_EQ(First("S1=>,Y+1,K[AB],YX;").Last(), "ERROR 404 8 19 S1=>,Y+1,K[AB],YX");
    EXPECT_EQ(First("S1=>,Y+1,K[AB],Y40000;").Last(), "ERROR 1114 8 23 S1=>,Y+1,K[AB],Y40000");
}

TEST(ModuleItems, CamsAndSelectionsOfTheBracketForms)
{
    struct Case {
        std::string item;
        int cam0, cam1;       // stored cam codes of side 0 and 1
        std::string e0, e1, e2;  // colour sets of side 0's entries
    };
    const std::string none = H({0, 0, 0, 0});
    const Case cases[] = {
        {"[A]", 2, 0, kA, none, none},       {"K[A]", 2, 0, kA, none, kA},    {"F[A]", 2, 0, none, kA, none},
        {"FK[A]", 2, 0, none, kA, kA},       {"KF[A]", 2, 0, none, kA, kA},   {"T[A]", 3, 0, kA, none, none},
        {"TK[A]", 3, 0, kA, none, kA},       {"TN[A]", 4, 0, none, kA, none}, {"U[A]", 3, 0, kA, none, none},
        {"UK[A]", 3, 0, kA, none, kA},       {"NK[A]", 3, 0, none, kA, kA},   {"N[A]", 3, 0, none, kA, none},
        {"A[A]", 1, 0, none, none, kA},      {"%[A]", 2, 0, none, kA, none},  {"$[A]", 3, 0, kA, none, none},
        {"K[A]-T[B]", 2, 3, kA, none, kA},   {"[]", 2, 0, none, none, none},  {"[$]", 2, 0, H({0, 0, 4, 0}), none, none},
    };
    for (const Case& c : cases) {
        Result r = First("S1=>,Y+1," + c.item + ";");
        ASSERT_EQ(r.rc, 0) << c.item << ": " << r.Last();
        EXPECT_EQ(r.Bytes("Z 1", 36, 1), H({c.cam0})) << c.item;
        EXPECT_EQ(r.Bytes("Z 1", 76, 1), H({c.cam1})) << c.item;
        EXPECT_EQ(r.Bytes("Z 1", 52, 4), c.e0) << c.item;
        EXPECT_EQ(r.Bytes("Z 1", 60, 4), c.e1) << c.item;
        EXPECT_EQ(r.Bytes("Z 1", 68, 4), c.e2) << c.item;
    }
    // A cam already set on the side keeps later forms from setting another;
    // forms that do not go with it are refused.
    Result r = First("S1=>,Y+1,K[A],F[B];");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 60, 4), kB);
    EXPECT_EQ(First("S1=>,Y+1,K[A],T[B];").Last(), "ERROR 404 8 20 S1=>,Y+1,K[A],T[B]");
    EXPECT_EQ(First("S1=>,Y+1,U[A],A[B];").Last(), "ERROR 404 8 20 S1=>,Y+1,U[A],A[B]");
    EXPECT_EQ(First("S1=>,Y+1,K[A;").Last(), "ERROR 401 8 14");
    // "%" stands for "F" and "$" for "T" in front of a bracket only: "%S"
    // is no stitch density.
    EXPECT_EQ(First("S1=>,Y+1,%S5;").Last(), "ERROR 404 8 14 S1=>,Y+1,%S5");
    EXPECT_EQ(First("S1=>,Y+1,Q[A];").Last(), "ERROR 404 8 15 S1=>,Y+1,Q[A]");
    EXPECT_EQ(First("S1=>,Y+1,N;").Last(), "ERROR 404 8 12 S1=>,Y+1,N");
    // "TN" sets its cam over a "U" too, and with a colour density ahead it
    // writes entry 2 as well.
    r = First("S1=>,Y+1,U[A]TN[B],FD[AB];");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 36, 1), "04");
    EXPECT_EQ(r.Bytes("Z 1", 60, 4), kB);
    EXPECT_EQ(r.Bytes("Z 1", 68, 4), kB);
}

TEST(ModuleItems, NamedSelectionsAndNetTypes)
{
    Result r = First("S1=>,Y+1,NA-[!1:1]F[!-1:1];");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 36, 1), "03");   // NA: cam U
    EXPECT_EQ(r.Bytes("Z 1", 64, 1), "02");   // entry 1: Auto
    EXPECT_EQ(r.Bytes("Z 1", 76, 1), "02");   // side 1: cam S
    EXPECT_EQ(r.Bytes("Z 1", 96, 1), "03");   // side 1 entry 0: 1:1
    EXPECT_EQ(r.Bytes("Z 1", 104, 1), "05");  // side 1 entry 1: -1:1
    // Every item starts on side 0 again.
    r = First("S1=>,Y+1,-[A],F[B];");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 60, 4), kB);
    EXPECT_EQ(First("S1=>,Y+1,[!NzG1];").Last(), "ERROR 1120 8 18 S1=>,Y+1,[!NzG1]");
}

TEST(ModuleItems, StitchDensities)
{
    Result r = First("S1=>,Y+1,K[AB]FS5-FSB[A]W7;");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 40, 4), H({1, 0, 5, 0}));
    EXPECT_EQ(r.Bytes("Z 1", 84, 4), H({2, 0, 7, 0}));  // side 1, density 2
    EXPECT_EQ(r.Bytes("Z 1", 108, 4), kA);              // side 1 entry 2
    r = First("S1=>,Y+1,K[AB],FSD12;");
    EXPECT_EQ(r.Bytes("Z 1", 40, 4), H({3, 0, 12, 0}));
    EXPECT_EQ(First("S1=>,Y+1,FS;").Last(), "ERROR 404 8 13 S1=>,Y+1,FS");
    EXPECT_EQ(First("S1=>,Y+1,FSW70000;").Last(), "ERROR 1116 8 19 S1=>,Y+1,FSW70000");
    // Colour densities: the F lines after those of the statements.
    r = First("S1=>,Y+1,FD[AB];");
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 40, 8), H({1, 0, 2, 0, 1, 0, 4, 0}));
    EXPECT_EQ(r.Bytes("Z 1", 80, 8), H({1, 0, 3, 0, 1, 0, 5, 0}));
    // The unit step of $FS_U follows a "U" selection.
    r = First("S1=>,Y+1,U[A];", {"$FS_U=D5;"});
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 40, 4), H({3, 0, 5, 0}));
}

TEST(ModuleItems, ClampsScissorsAndComb)
{
    Result r = Compile(Replace(S2(), 9, 9, {"KL=1C,2O,3.,H,12;", "SC=A,R,5;", "S1=<,K[AB];", "KL;", "SC;"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 20, 8), H({2, 1, 0, 2, 12, 3, 5, 0}));
    EXPECT_EQ(r.Bytes("R", 2489, 1), "01");  // clamp 1 automatic
    EXPECT_EQ(r.Bytes("Z 2", 20, 7), H({0, 0, 0, 0, 0, 0, 0}));
    r = Compile(Replace(S2(), 9, 9, {"SC=A;"}));
    EXPECT_EQ(r.Bytes("Z 1", 20, 1), "02");  // the automatic scissors close clamp 1
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"SC=Q;"})).Last(), "ERROR 1124 9 6 SC=Q");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"SC=70000;"})).Last(), "ERROR 1124 9 10 SC=70000");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"KL=I;"})).Last(), "ERROR 1123 9 6 KL=I");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"KA=12;"})).Last(), "ERROR 1125 9 7 KA=12");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"KA=X;"})).Last(), "ERROR 1125 9 6 KA=X");
}

TEST(ModuleItems, RackingDirectAndThroughTheVList)
{
    Result r = Compile(Replace(S2(), 9, 9, {"RV=R3,UH;", "MV=L4;", "S1=<,K[AB];", "RV=V2;", "MV=V;"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 12, 8), H({0, 0, 3, 3, 0, 0, 0xfc, 3}));  // the code carries over
    EXPECT_EQ(r.Bytes("Z 2", 12, 8), H({2, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(r.Count('V'), 1);
    EXPECT_EQ(r.Bytes("V 1", 0, 6), H({1, 1, 4, 0, 0, 3}));
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"RV=X;"})).Last(), "ERROR 404 9 6 RV=X");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"RV=R200;"})).Last(), "ERROR 1111 9 9 RV=R200");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"RV=V,R200;"})).Last(), "ERROR 1401 9 11 RV=V,R200");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"RV=R29;"})).Last(), "ERROR 1111 9 8 RV=R29");
}

TEST(ModuleItems, ModuleColourTableMapsToTheSetsColours)
{
    Lines s = Replace(S2(), 4, 4, {"[]=MAIN([AB],1);"});
    s = Replace(s, 8, 8, {"COLTAB=[xy];", "S1=>,Y+1,K[x]-T[y];"});
    Result r = Compile(s);
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 52, 4), kA);
    EXPECT_EQ(r.Bytes("Z 1", 92, 4), kB);
    s = Replace(S2(), 4, 4, {"[]=MAIN([AB],1);"});
    EXPECT_EQ(Compile(Replace(s, 8, 8, {"COLTAB=[xyz];"})).Last(), "ERROR 1127 8 14 COLTAB=[xyz]");
    EXPECT_EQ(Compile(Replace(s, 8, 8, {"COLTAB=[xy];", "COLTAB=[xy];"})).Last(), "ERROR 1127 9 13 COLTAB=[AB]");  // the table maps the second one's colours
    EXPECT_EQ(Compile(Replace(s, 8, 8, {"COLTAB=xy;"})).Last(), "ERROR 1127 8 11 COLTAB=XY");
}

TEST(ModuleItems, SpeedAndTakeDownModes)
{
    Result r = Compile(Replace(S2(), 9, 9, {"TZ=W50;", "WA=A20;", "S1=<,K[AB];", "TZ=D200;", "WA=W30;", "TZ;", "WA;"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 0, 8), H({0, 0, 20, 0, 0, 0, 50, 0}));
    EXPECT_EQ(r.Bytes("Z 2", 0, 8), H({3, 0, 30, 0, 2, 0, 200, 0}));
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"TZ=X1;"})).Last(), "ERROR 404 9 7 TZ=X1");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"WA=5;"})).Last(), "ERROR 404 9 6 WA=5");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"WA=A70000;"})).Last(), "ERROR 1102 9 11 WA=A70000");
}

TEST(CompleteSelections, AColourDensityMovesIntoDensityOne)
{
    ZrVar.Systems = 2;
    ZrVar.DensityFixUp = 1;
    ZLineWriter z;
    z.line = 1;
    z.system = 1;
    ASSERT_EQ(z.ReInitLine(), 0);
    ASSERT_EQ(z.Selection(0, "A"), 0);
    ASSERT_EQ(z.Selection(1, "B"), 0);
    ASSERT_EQ(z.Selection(2, "BA"), 0);
    ASSERT_EQ(z.Density(false, 1, 10), 0);
    z.side = 1;  // side 1: the density lies below the colour densities
    ASSERT_EQ(z.Selection(0, "AB"), 0);
    ASSERT_EQ(z.Selection(2, "AB"), 0);
    ASSERT_EQ(z.Density(false, 1, 4), 0);
    z.system = 2;  // system 2: entry 2 holds more than entries 0 and 1
    z.side = 0;
    ASSERT_EQ(z.Selection(0, "A"), 0);
    ASSERT_EQ(z.Selection(2, "AB"), 0);
    ASSERT_EQ(z.Density(false, 1, 10), 0);

    ASSERT_EQ(CompleteSelections(z, 5), 0);
    const uint8_t* line = ZListe->PeekLine(1);
    const size_t s1 = 36, s1back = 76, s2 = 124;
    EXPECT_EQ(line[s1 + 4], 1);
    EXPECT_EQ(line[s1 + 6], 10);
    EXPECT_EQ(line[s1 + 8], 0);
    EXPECT_EQ(line[s1 + 10], 0);
    EXPECT_EQ(get_u32(line, s1 + 32), 0u);  // entry 2 cleared
    EXPECT_EQ(line[s1back + 8], 1);         // below the colour densities: kept
    EXPECT_EQ(line[s1back + 10], 4);
    EXPECT_EQ(line[s2 + 8], 1);
    EXPECT_NE(get_u32(line, s2 + 32), 0u);

    // Off, nothing moves.
    ZrVar.DensityFixUp = 0;
    ZLineWriter w = z;
    w.system = 2;
    ASSERT_EQ(w.Selection(1, "B"), 0);
    ASSERT_EQ(CompleteSelections(z, 5), 0);
    EXPECT_EQ(line[s2 + 8], 1);
}

namespace {
void PutS(uint16_t line, uint8_t kind, uint16_t start, const std::string& comment = "")
{
    ProgramCommandBlock b;
    b.SetCode(9);
    b.SetSub(1);
    b.SetLine(line);
    b.SetSelector(9);
    b.SetU8(sblock::kKind, kind);
    b.SetU16(sblock::kStart, start);
    b.SetU16(sblock::kRepetitions, 1);
    ASSERT_EQ(ProgramDispatch(b), 0);
    if (!comment.empty()) {
        ProgramCommandBlock c;
        c.SetCode(159);
        c.SetSub(2);
        c.SetLine(line);
        c.SetText(comment);
        ASSERT_EQ(ProgramDispatch(c), 0);
    }
}
uint16_t StartOf(uint16_t line)
{
    return get_u16(SListe->GetLine(line), sline::kStart);
}
}  // namespace

TEST(FinishSchemeSequence, MainSequenceClosesUp)
{
    ZrVar.ModulsetInfo = std::make_shared<t_modulset_info>();
    t_modulset_info& info = *ZrVar.ModulsetInfo;
    info.SCounters = {1, 5, 1};
    PutS(1, 0, 1);
    PutS(4, 0, 3, "vier");
    PutS(7, 0, 5);
    PutS(10, 0, 7);
    PutS(13, 0, 9);
    ASSERT_EQ(FinishSchemeSequence(), 0);
    for (uint16_t line = 1; line <= 5; ++line)
        EXPECT_EQ(StartOf(line), 2 * line - 1) << line;
    for (uint16_t line : {7, 10, 13})
        EXPECT_EQ(StartOf(line), 0) << line;
    EXPECT_EQ(ReadShortString(SListe->GetLine(2), sline::kComment, 80), "vier");
    EXPECT_EQ(ReadShortString(SListe->GetLine(4), sline::kComment, 80), "");
    ZrVar.ModulsetInfo.reset();
}

TEST(FinishSchemeSequence, AFailedMoveStopsUnlessToldToGoOn)
{
    for (uint8_t goOn : {0, 1}) {
        SListe->SetCount(0);
        ZrVar.ContinueOnError = goOn;
        ZrVar.ModulsetInfo = std::make_shared<t_modulset_info>();
        t_modulset_info& info = *ZrVar.ModulsetInfo;
        // Sub-sequences so far up that their new place lies beyond the list.
        info.SCounters = {1, 3330, 4};
        PutS(1, 0, 1);
        PutS(2, 0, 3);
        PutS(4, 0, 7);
        PutS(5, 0, 5);
        EXPECT_EQ(FinishSchemeSequence(), 1000) << int(goOn);
        // Going on, the main sequence still closes up: line 4 moves to 2.
        EXPECT_EQ(StartOf(4), goOn ? 0 : 7) << int(goOn);
        EXPECT_EQ(StartOf(2), goOn ? 7 : 3) << int(goOn);
        ZrVar.ModulsetInfo.reset();
    }
    ZrVar.ContinueOnError = 0;
}
