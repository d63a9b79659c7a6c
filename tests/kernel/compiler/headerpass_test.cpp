// Pass 1: the script header, its directives and their errors, driven as the
// compile driver drives it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "kernel/compiler/compilererror.h"
#include "tests/kernel/compiler/compiler_fixture.h"

namespace {
// "MODULSET TEST;" / "BEGIN" / the given lines.
std::string AfterBegin(std::initializer_list<std::string> lines, bool lastEnd = true)
{
    std::string text = Script({"MODULSET TEST;", "BEGIN"});
    size_t i = 0;
    for (const std::string& line : lines) {
        text += line;
        if (++i < lines.size() || lastEnd)
            text += "\r\n";
    }
    return text;
}

std::string Bytes(const uint8_t* p, size_t n)
{
    return std::string(reinterpret_cast<const char*>(p), n);
}

// Everything pass 1 can change, as one text.
std::string ProgramState()
{
    std::string s = Bytes(ProgrammKopf.data(), T_ProgrammKopf::kSize) + Bytes(RuestSchema.data(), T_RuestSchema::kSize);
    for (T_ListenVar* list : std::initializer_list<T_ListenVar*>{ZListe, NListe, WListe, SListe, VListe, FListe,
                                                                 PListe, AListe}) {
        s += "|" + std::to_string(list->Count()) + ":";
        for (uint16_t i = 1; i <= list->Count(); ++i)
            s += Bytes(list->GetLine(i), list->LineSize());
    }
    return s;
}
}  // namespace

TEST_F(CompilerPasses, HeaderErrorsWithTheirPositionTokenAndValue)
{
    struct Case {
        std::string text;
        CompileError want;
    };
    const Case cases[] = {
        {Script({"BEGIN", "MODULSET TEST;"}), {408, 1, 5, "BEGIN", ""}},
        {Script({"MODULSET;", "BEGIN"}), {408, 1, 9, "MODULSET", ""}},
        {Script({"MODULSET X;", "$X=5;"}), {407, 2, 6, "$X", "5"}},
        {AfterBegin({"$Y=1;"}), {404, 3, 6, "$Y", "1"}},
        {AfterBegin({"$V_1=R30;"}), {1401, 3, 10, "$V_1", "R30"}},
        {AfterBegin({"END;"}), {-100, 3, 5, "END", ""}},
        {AfterBegin({"MODUL MAIN;"}), {409, 3, 12, "MODUL", "MAIN"}},
        {AfterBegin({"BEGIN"}), {405, 3, 6, "BEGIN", ""}},
        {AfterBegin({"$ZR_TYP=XYZ;"}), {999, 3, 13, "$ZR_TYP", "XYZ"}},
        {AfterBegin({"$SCRIPT=OTHER;"}), {-101, 3, 15, "$SCRIPT", "OTHER"}},
        {AfterBegin({"$X=5];"}), {401, 3, 6, "", ""}},
        {AfterBegin({"$ZR_FE=9;"}), {2210, 3, 10, "$ZR_FE", "9"}},
        {AfterBegin({"$NR9=1,2;"}), {1000, 3, 10, "$NR9", "1,2"}},
        {AfterBegin({"$X=5"}, false), {-999, 3, 5, "**********", ""}},
        {AfterBegin({"$X=5;", "[ABC]=X;"}), {997, 4, 9, "[ABC]", "X"}},
        {AfterBegin({"$UNKNOWN=1;"}), {404, 3, 12, "$UNKNOWN", "1"}},
        {AfterBegin({"$X=5A;"}), {404, 3, 7, "$X", "5A"}},
    };
    for (const Case& c : cases) {
        SetUp();
        EXPECT_EQ(Pass1(c.text), c.want.code) << c.text;
        EXPECT_EQ(Error(), c.want) << c.text;
    }
}

TEST_F(CompilerPasses, ReaderLimitsThroughTheHeader)
{
    EXPECT_EQ(Pass1(Script({"MODULSET" + std::string(247, 'A')})), 402);
    EXPECT_EQ(ZrVar.ErrorLine, 1);
    EXPECT_EQ(ZrVar.ErrorColumn, 255);
    EXPECT_EQ(ZrVar.ErrorToken, "MODULSET");
    EXPECT_EQ(Pass1(Script({"MODULSET" + std::string(300, 'A') + ";"})), 402);
    EXPECT_EQ(ZrVar.ErrorColumn, 255);

    EXPECT_EQ(Pass1(Script({"MODULSET" + std::string(246, 'A') + ";", "BEGIN", "$ZR_TYP=" + M2() + ";", "END;"})), 0);

    // A line of 260 blanks before the error: the column stops at 255.
    EXPECT_EQ(Pass1(AfterBegin({std::string(260, ' ') + "$X=5];"})), 401);
    EXPECT_EQ(ZrVar.ErrorLine, 3);
    EXPECT_EQ(ZrVar.ErrorColumn, 255);

    EXPECT_EQ(Pass1(AfterBegin({"{ a { b } c } $X=5;", "$ZR_TYP=" + M2() + ";", "END;"})), 0);
    EXPECT_EQ(Rec().X, 5);
}

TEST_F(CompilerPasses, LowerCaseAndBlanksCompileAsTheUpperCaseForm)
{
    const std::string m2 = M2();
    ASSERT_EQ(Pass1(Script({"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + m2 + ";", "END;"})), 0);
    std::string upper = ProgramState();
    SetUp();
    ProgrammKopf.clear();
    ASSERT_EQ(Pass1(Script({"modulset test ;", "begin", "$zr_typ = " + m2 + " ;", "end ;"})), 0);
    EXPECT_EQ(ProgramState(), upper);

    // The same with list directives.
    SetUp();
    ProgrammKopf.clear();
    ASSERT_EQ(Pass1(Header({"$V_1=R3,U1;", "$N_1=X5,10,D2;", "$FS_1=W10;", "$HC=\"AB\";"})), 0);
    upper = ProgramState();
    SetUp();
    ProgrammKopf.clear();
    ASSERT_EQ(Pass1("modulset test ;\r\nbegin\r\n$zr_typ = " + m2 +
                    " ;\r\n$v_1 = r3 , u1 ;\n$n_1=x5, 10 ,d2;$fs_1=w10;$hc=\"ab\";end;"),
              0);
    EXPECT_EQ(ProgramState(), upper);
}

TEST_F(CompilerPasses, HeaderListsAndComments)
{
    const std::string s1 = Script({"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";", "$NAME;{Testprogramm 1}",
                                   "$V_1=R3,U1;", "{Versatz rechts}", "$V_2=L5;", "END;"});
    ASSERT_EQ(Pass1(s1), 0);
    ASSERT_EQ(VListe->Count(), 2);
    EXPECT_EQ(Line(VListe, 1, 14), "01 00 03 00 00 01 00 00 00 00 00 00 64 0e");
    EXPECT_EQ(Bytes(VListe->GetLine(1) + 14, 14), "Versatz rechts");
    EXPECT_EQ(Line(VListe, 2, 14), "01 01 05 00 00 00 00 00 00 00 00 00 64 00");
    EXPECT_EQ(RuestSchema.b[T_RuestSchema::kComment], 0x0e);
    EXPECT_EQ(Bytes(RuestSchema.data() + T_RuestSchema::kComment + 1, 14), "Testprogramm 1");
    EXPECT_EQ(ProgrammKopf.Model(), M2());
    EXPECT_EQ(ProgrammKopf.MachineKind(), 2);
    EXPECT_EQ(ZrVar.HeaderState, 4);
    EXPECT_EQ(ZrVar.MachineDefined, 1);

    // Cp1252 bytes of a brace text stay as they are.
    SetUp();
    ASSERT_EQ(Pass1(Header({"$V_1=R3;", "{Gr\xf6\xdf" "e}"})), 0);
    EXPECT_EQ(Line(VListe, 1, 19).substr(13 * 3), "05 47 72 f6 df 65");

    // After a directive that writes no line a brace text changes nothing.
    SetUp();
    ASSERT_EQ(Pass1(Header({"$V_1=R3;", "$X=5;"})), 0);
    std::string without = ProgramState();
    SetUp();
    ASSERT_EQ(Pass1(Header({"$V_1=R3;", "$X=5;", "{Kommentar}"})), 0);
    EXPECT_EQ(ProgramState(), without);
    // Nor before BEGIN or right after it.
    SetUp();
    ASSERT_EQ(Pass1("{vorher}MODULSET T;{x}BEGIN{y}$ZR_TYP=" + M2() + ";END;"), 0);
}

TEST_F(CompilerPasses, Settings)
{
    struct Case {
        std::string line;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"$ZR_FE=12;", [] { EXPECT_EQ(ProgrammKopf.Gauge(), 12); }},
        {"$NR1=100,200;",
         [] {
             EXPECT_EQ(Setup16(44), 100);
             EXPECT_EQ(Setup16(172), 200);
         }},
        {"$WE=2;\r\n$NR1=100,200;",
         [] {
             EXPECT_EQ(Setup16(46), 100);
             EXPECT_EQ(Setup16(174), 200);
             EXPECT_EQ(Setup16(44), 0);
             EXPECT_EQ(ZrVar.Level, 2);
         }},
        {"$HC=\"AB\";", [] { EXPECT_EQ(Hex(RuestSchema.data() + 2484, 4), "00 00 18 00"); }},
        {"$W3=-20;",
         [] {
             EXPECT_EQ(WListe->Count(), 3);
             EXPECT_EQ(Line(WListe, 3, 2), "ec ff");
         }},
        {"$N_1=X5,10,D2;", [] { EXPECT_EQ(Line(NListe, 1, 10), "00 00 05 00 0a 00 00 00 02 00"); }},
        {"$WA=7;", [] { EXPECT_EQ(RuestSchema.b[4], 7); }},
        {"$SZ=300;", [] { EXPECT_EQ(Setup16(12), 300); }},
        {"$LB=400;", [] { EXPECT_EQ(Setup16(28), 400); }},
        {"$TZ=1;$TZ_U=2;$TZ_N=3;", [] { EXPECT_EQ(Hex(RuestSchema.data() + 1, 3), "01 02 03"); }},
        {"$HUB=1;", [] { EXPECT_EQ(RuestSchema.b[2492], 1); }},
        {"$KOPP=12;", [] { EXPECT_EQ(Setup16(2490), 12); }},
        {"$FF_MIN=10;$FF_MAX=200;$FF_DIS=3;",
         [] {
             EXPECT_EQ(Setup16(2493), 10);
             EXPECT_EQ(Setup16(2495), 200);
             EXPECT_EQ(RuestSchema.b[2497], 3);
         }},
        {"$ZR_NR=77;$FFOT_1A=X;$SP=1-2;$SCRIPT=KELTARIS;", [] { EXPECT_EQ(ZrVar.ErrorCode, 0); }},
        {"$F_OPT=ON;", [] { EXPECT_EQ(ZrVar.F_Opt, 1); }},
        {"$N0=OFF;", [] { EXPECT_EQ(Rec().FLineUsed[0], 0); }},
        {"$FS_U=D7;", [] { EXPECT_EQ(Rec().FsUStep, 7); }},
        {"$YC_OFFSET_2C=5,-6;",
         [] {
             EXPECT_EQ(ZrVar.CarrierOffsets[1][2][0], 5);
             EXPECT_EQ(ZrVar.CarrierOffsets[1][2][1], -6);
         }},
        {"$X=7;$Y=3;$Z=4;$WN=-5;$WS=6;$XMAX=50;$YMAX=40;",
         [] {
             EXPECT_EQ(Rec().X, 7);
             EXPECT_EQ(Rec().Y, 2);
             EXPECT_EQ(Rec().Z, 4);
             EXPECT_EQ(Rec().WN, -5);
             EXPECT_EQ(Rec().WS, 6);
             EXPECT_EQ(Rec().WSCopy, 6);
             EXPECT_EQ(ProgrammKopf.Width(), 50);
             EXPECT_EQ(ProgrammKopf.Height(), 40);
         }},
        {"$S=5;$N=6;$V=7;",
         [] {
             EXPECT_EQ(Rec().NextSLine, 5);
             EXPECT_EQ(Rec().SCounters[2], 5);
             EXPECT_EQ(Rec().NextNLine, 6);
             EXPECT_EQ(Rec().NextVLine, 7);
         }},
        {"$FD_COLOR=[AB];", [] { EXPECT_EQ(Rec().ColourString, "AB"); }},
    };
    for (const Case& c : cases) {
        SetUp();
        RuestSchema.clear();
        ASSERT_EQ(Pass1(Header({c.line})), 0) << c.line << ": " << ZrVar.ErrorCode;
        SCOPED_TRACE(c.line);
        c.check();
    }
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FF_MAX=0;"})), 2002);
    EXPECT_EQ(CompilerErrorText(ZrVar.ErrorCode), "Fadenf\xc3\xbchrerabstand Maximum falsch");
}

TEST_F(CompilerPasses, ExactTokensBeforePrefixForms)
{
    // Each pair shares its beginning; each directive must reach its own
    // effect and nothing of the other's.
    struct Case {
        const char* line;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"$FS=3;", [] { EXPECT_EQ(FListe->Count(), 3); EXPECT_EQ(Rec().FsUStep, 255); }},
        {"$FS_U=D5;", [] { EXPECT_EQ(FListe->Count(), 0); EXPECT_EQ(Rec().FsUStep, 5); }},
        {"$FS_2=W10;", [] { EXPECT_EQ(FListe->Count(), 2); EXPECT_EQ(Rec().FsUStep, 255); }},
        {"$N=4;", [] { EXPECT_EQ(Rec().NextNLine, 4); EXPECT_EQ(NListe->Count(), 0); }},
        {"$N0=OFF;", [] { EXPECT_EQ(Rec().FLineUsed[0], 0); EXPECT_EQ(NListe->Count(), 0); }},
        {"$N_2=N1,0,W1;", [] { EXPECT_EQ(NListe->Count(), 2); EXPECT_EQ(Rec().NextNLine, 1); }},
        {"$NR2=5,6;", [] { EXPECT_EQ(Setup16(60), 5); EXPECT_EQ(NListe->Count(), 0); }},
        {"$NAME;", [] { EXPECT_EQ(NListe->Count(), 0); EXPECT_EQ(Rec().NextNLine, 1); }},
        {"$W2=5;", [] { EXPECT_EQ(WListe->Count(), 2); EXPECT_EQ(Rec().WN, 1); }},
        {"$WN=5;", [] { EXPECT_EQ(WListe->Count(), 0); EXPECT_EQ(Rec().WN, 5); }},
        {"$WS=-3;", [] { EXPECT_EQ(WListe->Count(), 0); EXPECT_EQ(Rec().WS, -3); }},
        {"$WA=9;", [] { EXPECT_EQ(WListe->Count(), 0); EXPECT_EQ(RuestSchema.b[4], 9); }},
        {"$WE=3;", [] { EXPECT_EQ(WListe->Count(), 0); EXPECT_EQ(RuestSchema.b[0], 3); }},
        {"$S=8;", [] { EXPECT_EQ(Rec().NextSLine, 8); EXPECT_EQ(SListe->Count(), 0); }},
        {"$SP=1-2;", [] { EXPECT_EQ(SListe->Count(), 0); EXPECT_EQ(Rec().NextSLine, 1); }},
        {"$SZ=8;", [] { EXPECT_EQ(Setup16(12), 8); EXPECT_EQ(SListe->Count(), 0); }},
        {"$SCRIPT=KELTARIS;", [] { EXPECT_EQ(SListe->Count(), 0); }},
        {"$S_2=Z1,0,W1,N0,0,0,0,0,0;", [] { EXPECT_EQ(SListe->Count(), 2); EXPECT_EQ(Rec().NextSLine, 1); }},
        {"$Y=3;", [] { EXPECT_EQ(Rec().Y, 2); EXPECT_EQ(Rec().MaxY, 9999); }},
        {"$YMAX=30;", [] { EXPECT_EQ(Rec().Y, 1); EXPECT_EQ(Rec().MaxY, 30); }},
        {"$YC_OFFSET_1A=1,2;", [] { EXPECT_EQ(Rec().Y, 1); EXPECT_EQ(ZrVar.CarrierOffsets[0][0][1], 2); }},
        {"$X=3;", [] { EXPECT_EQ(Rec().X, 3); EXPECT_EQ(Rec().MaxX, 9999); }},
        {"$XMAX=30;", [] { EXPECT_EQ(Rec().X, 1); EXPECT_EQ(Rec().MaxX, 30); }},
        {"$V=3;", [] { EXPECT_EQ(Rec().NextVLine, 3); EXPECT_EQ(VListe->Count(), 0); }},
        {"$V_3=R1;", [] { EXPECT_EQ(Rec().NextVLine, 1); EXPECT_EQ(VListe->Count(), 3); }},
        {"$P=3;", [] { EXPECT_EQ(Rec().NextPLine, 3); EXPECT_EQ(PListe->Count(), 3); }},
        {"$P_2=FF1;", [] { EXPECT_EQ(Rec().NextPLine, 1); EXPECT_EQ(PListe->Count(), 2); }},
        {"$Z=6;", [] { EXPECT_EQ(Rec().Z, 6); }},
        {"$ZR_NR=6;", [] { EXPECT_EQ(Rec().Z, 1); }},
        {"$ZR_FE=5;", [] { EXPECT_EQ(Rec().Z, 1); EXPECT_EQ(ProgrammKopf.Gauge(), 5); }},
        {"$TZ=4;", [] { EXPECT_EQ(Hex(RuestSchema.data() + 1, 3), "04 00 00"); }},
        {"$TZ_U=4;", [] { EXPECT_EQ(Hex(RuestSchema.data() + 1, 3), "00 04 00"); }},
        {"$TZ_N=4;", [] { EXPECT_EQ(Hex(RuestSchema.data() + 1, 3), "00 00 04"); }},
        {"$HC=\"V\";", [] { EXPECT_EQ(RuestSchema.b[2484], 1); EXPECT_EQ(RuestSchema.b[2492], 0); }},
        {"$HUB=1;", [] { EXPECT_EQ(RuestSchema.b[2484], 0); EXPECT_EQ(RuestSchema.b[2492], 1); }},
        {"$K_1=5;", [] { EXPECT_EQ(AListe->Count(), 2); EXPECT_EQ(Setup16(2490), 0); }},
        {"$KOPP=7;", [] { EXPECT_EQ(AListe->Count(), 0); EXPECT_EQ(Setup16(2490), 7); }},
        {"$A_1=5;", [] { EXPECT_EQ(AListe->Count(), 1); EXPECT_EQ(AListe->GetLine(1)[2], 5); }},
        {"$FF_MIN=7;", [] { EXPECT_EQ(Setup16(2493), 7); EXPECT_EQ(RuestSchema.b[300], 0); }},
        {"$FF_MAX=70;", [] { EXPECT_EQ(Setup16(2495), 70); }},
        {"$FF_DIS=9;", [] { EXPECT_EQ(RuestSchema.b[2497], 9); }},
        {"$FFOT_1A=I;", [] { EXPECT_EQ(Hex(RuestSchema.data() + 300, 2), "00 00"); }},
        {"$FF1A=I;", [] { EXPECT_EQ(Hex(RuestSchema.data() + 300, 2), "01 00"); }},
        {"$FD_COLOR=[A];", [] { EXPECT_EQ(Rec().ColourString, "A"); EXPECT_FALSE(Rec().ColourDensity[19][0][0].filled); }},
        {"$FD[A]=W10;", [] { EXPECT_EQ(Rec().ColourString, ""); EXPECT_TRUE(Rec().ColourDensity[19][0][0].filled); }},
    };
    for (const Case& c : cases) {
        SetUp();
        RuestSchema.clear();
        ASSERT_EQ(Pass1(Header({c.line})), 0) << c.line << ": " << ZrVar.ErrorCode;
        SCOPED_TRACE(c.line);
        c.check();
    }
    // Prefixes without their number are nothing.
    for (const char* line : {"$W=1;", "$WX=1;", "$NR=1,2;", "$FF_X=1;", "$FFA=1;", "$N01=ON;", "$FS_X=D1;",
                             "$V_=R1;", "$V_1X=R1;", "$YC_OFFSET_9A=1,2;", "$YC_OFFSET_1I=1,2;",
                             "$YC_OFFSET_1AB=1,2;", "$FD[AB]=W1;", "$FD[a]=W1;", "$A_?=1;"}) {
        SetUp();
        EXPECT_EQ(Pass1(Header({line})), 404) << line;
    }
}

TEST_F(CompilerPasses, FittingNumbersIntoBlockFields)
{
    const uint8_t gauge = 7;
    ProgrammKopf.SetGauge(gauge);
    EXPECT_EQ(Pass1(Header({"$ZR_FE=264;"})), 2210);
    EXPECT_EQ(ProgrammKopf.Gauge(), gauge);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$ZR_FE=-248;"})), 2210);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$V_1=R284;"})), 1401);
    EXPECT_EQ(VListe->Count(), 0);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$WE=257;"})), 2206);
    EXPECT_EQ(ZrVar.Level, 1);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$SZ=65537;"})), 2204);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$NR65537=1,2;"})), 1000);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$W1=40000;"})), 1701);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FF_MIN=65535;"})), 2001);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$N_1=X70000,0,D1;"})), 1602);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$A_1=PULSE300;"})), 1302);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$P_1=FF300;"})), 1501);

    // Sub-lists of F and P stop at 1999.
    for (const char* line : {"$P=2000;", "$FS=2000;", "$P=0;", "$FS=9999;"}) {
        SetUp();
        EXPECT_EQ(Pass1(Header({line})), 404) << line;
        EXPECT_EQ(PListe->Count() + FListe->Count(), 0) << line;
    }
    SetUp();
    EXPECT_EQ(Pass1(Header({"$P=1999;"})), 0);
    EXPECT_EQ(PListe->Count(), 1999);
    EXPECT_EQ(Rec().NextPSubList, 1999);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$A_2000=5;"})), 1000);
    EXPECT_EQ(AListe->Count(), 0);
}

TEST_F(CompilerPasses, MachineTypeUsesWholeModelEntries)
{
    const std::string m2 = M2();
    for (const std::string& type : {std::string("12"), std::string(""), m2.substr(1), m2 + "1", std::string("ZR"),
                                    m2.substr(2) + " " + m2.substr(0, 1)}) {
        SetUp();
        EXPECT_EQ(Pass1(AfterBegin({"$ZR_TYP=" + type + ";", "END;"})), 999) << type;
        EXPECT_EQ(ZrVar.MachineDefined, 0);
    }
    SetUp();
    EXPECT_EQ(Pass1(AfterBegin({"$ZR_TYP=ZR" + m2 + ";", "END;"})), 0);
    EXPECT_EQ(ProgrammKopf.Model(), m2);

    // A tandem model with the comb: machine data and $COMB.
    SetUp();
    RuestSchema.clear();
    ASSERT_EQ(Pass1(AfterBegin({"$ZR_TYP=844;", "$COMB;", "END;"})), 0);
    EXPECT_EQ(ProgrammKopf.MachineKind(), 4);
    EXPECT_TRUE(ProgrammKopf.ModelOption());
    EXPECT_TRUE(ProgrammKopf.TakeDownColumns());
    EXPECT_EQ(ZrVar.Systems, 4);
    EXPECT_EQ(ZrVar.MachineMode, 2);
    EXPECT_EQ(RuestSchema.b[2488], 1);
    EXPECT_EQ(Setup16(2490), 47);
    // Without the comb $COMB does nothing.
    SetUp();
    RuestSchema.clear();
    ASSERT_EQ(Pass1(AfterBegin({"$ZR_TYP=" + m2 + ";", "$COMB;", "END;"})), 0);
    EXPECT_EQ(RuestSchema.b[2488], 0);
}

TEST_F(CompilerPasses, IndexListLines)
{
    // F: the first line of a directive opens the next sub-list, the others
    // continue it; "?" takes the next line and moves it on.
    ASSERT_EQ(Pass1(Header({"$FS_?=D10,W20[AB];", "{zwei}", "$FS_?=W30D40;", "$FS_?=D5;"})), 0);
    ASSERT_EQ(FListe->Count(), 4);
    // Machine value 1: the right carriage mode is sent as 3 (stored 0).
    EXPECT_EQ(Line(FListe, 1, 16), "01 00 00 00 0a 00 00 00 0a 00 00 00 00 00 00 00");
    EXPECT_EQ(Line(FListe, 2, 17), "00 00 02 00 14 00 00 00 14 00 00 00 00 00 18 00 04");
    EXPECT_EQ(Line(FListe, 3, 10), "02 00 02 00 1e 00 00 00 28 00");
    EXPECT_EQ(Line(FListe, 4, 6), "03 00 00 00 05 00");
    EXPECT_EQ(Rec().NextFLine, 5);
    EXPECT_EQ(Rec().NextFSubList, 4);
    EXPECT_EQ(Hex(&Rec().FLineUsed[0], 6), "01 01 01 01 01 00");

    // On a tandem machine the right side is its own.
    SetUp();
    ASSERT_EQ(Pass1(AfterBegin({"$ZR_TYP=844;", "$FS=3;", "$FS_?=W30D40;", "END;"})), 0);
    EXPECT_EQ(Line(FListe, 3, 10), "03 00 02 00 1e 00 00 00 28 00");

    // P: items, sides and colours.
    SetUp();
    ASSERT_EQ(Pass1(Header({"$P_1=FF1A(+5N/-3S)[AB],FF2(+7S),FF3B(-4)[V];"})), 0);
    ASSERT_EQ(PListe->Count(), 3);
    EXPECT_EQ(Line(PListe, 1, 16), "01 00 01 01 02 03 00 00 00 00 18 00 05 00 fd ff");
    EXPECT_EQ(Line(PListe, 2, 16), "00 00 02 00 00 03 00 00 00 00 00 00 00 80 07 00");
    EXPECT_EQ(Line(PListe, 3, 16), "00 00 03 02 00 00 00 00 01 00 00 00 fc ff 00 80");
    for (const char* bad : {"$P_1=FF1A(+5N;", "$P_1=FF1A(+5N)X;", "$P_1=FF1AX;", "$P_1=FF1A(+5N/-3)[AB]X;"}) {
        SetUp();
        EXPECT_EQ(Pass1(Header({bad})), 404) << bad;
    }
    SetUp();
    EXPECT_EQ(Pass1(Header({"$P_1=FF1Z;"})), 1502);

    // A: $A_ lines carry their number, $K_ lines continue the sub-list.
    SetUp();
    ASSERT_EQ(Pass1(Header({"$A_1=50,PULSE-5,PRESSON,HELP60,HELP_PRESS20,MIN_NEEDLE0,MAX_NEEDLE200,MIN5,MAX6,"
                            "MIN_PULSE7,MAX_PULSE8;",
                            "$A_2=*,PRESSOFF;", "$K_1=40,HELP9,PRESS3;"})),
              0);
    ASSERT_EQ(AListe->Count(), 3);
    EXPECT_EQ(Line(AListe, 1, 16), "01 00 32 fb 67 00 3c 14 10 27 05 07 c8 00 06 08");
    EXPECT_EQ(Line(AListe, 2, 16), "00 00 28 65 65 00 65 65 10 27 00 00 10 27 00 00");
    EXPECT_EQ(Line(AListe, 3, 16), "02 00 65 7f 66 00 65 65 10 27 00 00 10 27 00 00");
    SetUp();
    EXPECT_EQ(Pass1(Header({"$A_1=PRESSX;"})), 404);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$A_1=HIGH5;"})), 404);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$A_1=102;"})), 1301);
}

TEST_F(CompilerPasses, EmptyValuesReinitialiseTheLine)
{
    ASSERT_EQ(Pass1(Header({"$V_2=R5;", "$V_2=;", "$W1=5;", "$W1=;"})), 0);
    EXPECT_EQ(Line(VListe, 2, 13), "00 00 00 00 00 00 00 00 00 00 00 00 64");
    EXPECT_EQ(Line(WListe, 1, 2), "00 00");

    // An empty $K_ removes the line after the sub-list and puts an unset
    // line in its place.
    SetUp();
    ASSERT_EQ(Pass1(Header({"$A_1=5;", "$A_2=6;", "$A_3=7;", "$K_1=;"})), 0);
    ASSERT_EQ(AListe->Count(), 3);
    EXPECT_EQ(Line(AListe, 1, 3), "01 00 05");
    EXPECT_EQ(Line(AListe, 2, 3), "02 00 65");
    EXPECT_EQ(Line(AListe, 3, 3), "03 00 07");
}

TEST_F(CompilerPasses, SchemeSequenceAndCarriers)
{
    ASSERT_EQ(Pass1(Header({"$S_1=Z1,0,W3,N10,0,2,1,2,1;", "$S_2=S4,-1,D2,5,6,7,8;", "$S_3=Z1,0,W1,W2,W-20;"})), 0);
    EXPECT_EQ(Line(SListe, 1, 26), "00 00 01 00 00 00 01 00 03 00 00 00 0a 00 00 00 00 00 02 00 01 00 02 00 01 00");
    EXPECT_EQ(Line(SListe, 2, 26), "01 00 04 00 ff ff 00 00 02 00 00 00 00 00 00 00 00 00 05 00 06 00 07 00 08 00");
    EXPECT_EQ(Line(SListe, 3, 18), "00 00 01 00 00 00 01 00 01 00 01 00 02 00 02 00 14 00");
    // Kind I is read, then refused by the list.
    SetUp();
    EXPECT_EQ(Pass1(Header({"$S_1=I1,0,W3,N10,0,*[AB];"})), 1901);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$S_1=I1,0,W3,N10,0,AB;"})), 404);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$S_1=Q1,0,W3;"})), 1901);

    // Carriers: type, first value, the other seven, exchange.
    SetUp();
    RuestSchema.clear();
    ASSERT_EQ(Pass1(Header({"$FF2B=I5,+7,3;", "$FF1=N;"})), 0);
    EXPECT_EQ(RuestSchema.b[T_RuestSchema::CarrierType(2, 1)], 1);
    EXPECT_EQ(get_i16(RuestSchema.data(), T_RuestSchema::CarrierSet1(0, 2, 1)), 5);
    for (int k = 1; k < 8; ++k)
        EXPECT_EQ(get_i16(RuestSchema.data(), T_RuestSchema::CarrierSet1(k, 2, 1)), 7) << k;
    EXPECT_EQ(RuestSchema.b[T_RuestSchema::Exchange(2)], 3);
    EXPECT_EQ(get_u16(RuestSchema.data(), T_RuestSchema::CarrierSet1(0, 1, 0)), 32768);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FF2B=I5,X;"})), 2005);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FF2B=X;"})), 2005);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FF9=N;"})), 2004);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FF1=N1000;"})), 2006);
}

TEST_F(CompilerPasses, DensitySlotsOfASymbol)
{
    ASSERT_EQ(Pass1(Header({"$FD[A]=W10D20{Vorne 1},D5\"X\",W7-{b},D9;"})), 0);
    const auto& a = Rec().ColourDensity[19];
    EXPECT_TRUE(a[0][0].filled);
    EXPECT_EQ(a[0][0].leftFlag, 1);
    EXPECT_EQ(a[0][0].leftValue, 10);
    EXPECT_EQ(a[0][0].rightFlag, 0);
    EXPECT_EQ(a[0][0].rightValue, 20);
    EXPECT_EQ(a[0][0].comment, "Vorne 1");
    EXPECT_EQ(a[0][1].leftValue, 5);
    EXPECT_EQ(a[0][1].rightValue, 5);
    EXPECT_EQ(a[0][1].comment, "X");
    EXPECT_EQ(a[1][0].rightFlag, 1);
    EXPECT_EQ(a[1][0].rightValue, 7);
    EXPECT_EQ(a[1][0].comment, "b");
    EXPECT_EQ(a[1][1].leftValue, 9);
    EXPECT_FALSE(Rec().ColourDensity[20][0][0].filled);
    for (const char* bad : {"$FD[A]=W10,D1,D2,D3,D4;", "$FD[A]=X5;", "$FD[A]=D1000;", "$FD[A]=W0;",
                            "$FD[A]=W10\"open;", "$FD[A]=W10Q;", "$FD[A]=;", "$FD[Q]=W1;"}) {
        SetUp();
        EXPECT_EQ(Pass1(Header({bad})), 404) << bad;
    }
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FD[A]=W1{" + std::string(81, 'x') + "};"})), 404);
    SetUp();
    EXPECT_EQ(Pass1(Header({"$FD[=]=W1;"})), 0);
    EXPECT_TRUE(Rec().ColourDensity[10][0][0].filled);
}
