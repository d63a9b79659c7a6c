// Module statements compiled in single-module mode: whole scripts through
// the compile command, checked against hand-made bytes of the lists.
#include <gtest/gtest.h>

#include <string>

#include "kernel/model/programmodel.h"
#include "tests/kernel/compiler/compile_testing.h"

using namespace compiletest;

namespace {
constexpr size_t kZLine = 640;

// A Z line as it stands after a fresh line: zero but the two racking steps.
std::string FreshZ()
{
    std::string hex(2 * kZLine, '0');
    hex.replace(2 * 14, 2, "7f");
    hex.replace(2 * 18, 2, "7f");
    return hex;
}

void Put(std::string& hex, size_t off, const std::string& bytes)
{
    hex.replace(2 * off, bytes.size(), bytes);
}

const std::string kA = H({0, 0, 8, 0});
const std::string kB = H({0, 0, 0x10, 0});
const std::string kC = H({0, 0, 0x20, 0});
const std::string kAB = H({0, 0, 0x18, 0});

// The Z line S2 writes for "K[AB]" on system 1, pattern row 2.
std::string KnitAB()
{
    std::string z = FreshZ();
    Put(z, 36, "02");
    Put(z, 38, "0200");
    Put(z, 52, kAB);
    Put(z, 68, kAB);
    Put(z, 78, "0200");
    return z;
}
}  // namespace

TEST(ModuleStatements, SingleModuleScriptFillsTheKnittingScheme)
{
    Result r = Compile(S2());
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.report, std::vector<std::string>{"OK"});
    EXPECT_EQ(r.Count('Z'), 2);
    EXPECT_EQ(r.lines["Z 1"], KnitAB());
    EXPECT_EQ(r.lines["Z 2"], KnitAB());
    EXPECT_EQ(r.Count('S'), 0);
    EXPECT_EQ(r.dump.find("\nB"), std::string::npos);
    EXPECT_FALSE(BildEbene2.present);
    // The statement pass makes the F sub-lists up to the next free number.
    EXPECT_EQ(r.Count('F'), 2);
    EXPECT_EQ(r.Bytes("F 1", 0, 2), "0100");
    EXPECT_EQ(r.Bytes("F 2", 0, 2), "0200");
}

TEST(ModuleStatements, CamsSelectionsRackingClampsAndSpeed)
{
    Lines s = Replace(S2(), 8, 9,
                      {"S1=>,Y+1,FF1,FF3,T[A]-F[B];", "RV=V,R3,U1;", "KL=A,F,5;", "S1=<,K[!rr];", "RV=V,R3,U1;",
                       "TZ=#1;", "S1=>,[!NzA2];", "BRK=ON;", "S1=<,K[AB];"});
    s = Replace(s, 4, 4, {"[]=MAIN(5);"});
    Result r = Compile(s);
    ASSERT_EQ(r.rc, 0) << r.Last();

    EXPECT_EQ(r.Count('V'), 1);
    EXPECT_EQ(r.Bytes("V 1", 0, 13), H({1, 0, 3, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0x64}));

    EXPECT_EQ(r.Count('Z'), 4);
    EXPECT_EQ(r.Bytes("Z 1", 12, 4), H({1, 0, 0, 0}));
    EXPECT_EQ(r.Bytes("Z 1", 20, 5), H({1, 2, 0, 0, 5}));
    EXPECT_EQ(r.Bytes("Z 1", 30, 1), "05");
    EXPECT_EQ(r.Bytes("Z 1", 36, 1), "03");
    EXPECT_EQ(r.Bytes("Z 1", 52, 4), kA);
    EXPECT_EQ(r.Bytes("Z 1", 76, 1), "02");
    EXPECT_EQ(r.Bytes("Z 1", 100, 4), kB);

    EXPECT_EQ(r.Bytes("Z 2", 4, 1), "01");
    EXPECT_EQ(r.Bytes("Z 2", 6, 2), "0500");
    EXPECT_EQ(r.Bytes("Z 2", 12, 4), H({1, 0, 0, 0}));
    EXPECT_EQ(r.Bytes("Z 2", 36, 1), "02");
    EXPECT_EQ(r.Bytes("Z 2", 56, 1), "01");
    EXPECT_EQ(r.Bytes("Z 2", 72, 1), "01");

    EXPECT_EQ(r.Bytes("Z 3", 4, 1), "01");
    EXPECT_EQ(r.Bytes("Z 3", 6, 2), "0000");
    EXPECT_EQ(r.Bytes("Z 3", 36, 1), "02");
    EXPECT_EQ(r.Bytes("Z 3", 56, 1), "0c");

    EXPECT_EQ(r.lines["Z 4"], KnitAB());
    for (const char* z : {"Z 1", "Z 2", "Z 3", "Z 4"}) {
        EXPECT_EQ(r.Bytes(z, 38, 2), "0200") << z;
        EXPECT_EQ(r.Bytes(z, 78, 2), "0200") << z;
    }
}

TEST(ModuleStatements, CarrierSubListsAreSharedWhenRepeated)
{
    Result r = Compile(Replace(S2(), 8, 9, {"S1=>,Y+1,FF1A[AB];", "S1=<,FF1A[AB];", "S1=>,FF2B[C];"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("P 1", 0, 16), H({1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0x18, 0, 0, 0x80, 0, 0x80}));
    // The repeated sub-list gave its line back: the third statement's
    // sub-list takes it over.
    EXPECT_EQ(r.Bytes("P 2", 0, 16), H({2, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0x80, 0, 0x80}));
    EXPECT_EQ(r.Bytes("Z 1", 28, 2), "0100");
    EXPECT_EQ(r.Bytes("Z 2", 28, 2), "0100");
    EXPECT_EQ(r.Bytes("Z 3", 28, 2), "0200");
}

TEST(ModuleStatements, ARepeatedSubListStaysInThePList)
{
    // Pinned: the lines of a repeated sub-list count as free again, but the
    // list keeps them until a later sub-list overwrites them.
    Result r = Compile(Replace(S2(), 8, 9, {"S1=>,Y+1,FF1A[AB];", "S1=<,FF1A[AB];"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Count('P'), 2);
    EXPECT_EQ(r.Bytes("P 2", 0, 2), "0200");
    EXPECT_EQ(r.Bytes("Z 2", 28, 2), "0100");
}

TEST(ModuleStatements, APrefixOfALongerSubListIsNoRepeat)
{
    // Mended: a one-line sub-list equal to the first line of an earlier
    // two-line sub-list must not refer to that sub-list (it names two
    // carriers).
    Result r = Compile(Replace(S2(), 8, 9, {"S1=>,Y+1,FF1A[AB],FF2B[C];", "S1=<,FF1A[AB];"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Bytes("Z 1", 28, 2), "0100");
    EXPECT_EQ(r.Bytes("Z 2", 28, 2), "0200");
    EXPECT_EQ(r.Bytes("P 3", 0, 4), H({2, 0, 1, 1}));
    EXPECT_EQ(r.Bytes("P 2", 0, 4), H({0, 0, 2, 2}));
}

TEST(ModuleStatements, ErrorsPointAtTheStatementEnd)
{
    struct Case {
        size_t line;
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {8, "S1=<,K[AB];", "ERROR 422 8 12 S1=<,K[AB]"},
        {8, "S1=>,Y+1,T[A]-F[B]-;", "ERROR 404 8 21 S1=>,Y+1,T[A]-F[B]-"},
        {9, "KL=5.;", "ERROR 1123 9 7 KL=5."},
        {9, "TZ=#31;", "ERROR 404 9 8 TZ=#31"},
        {9, "S1=<,FF1,FF1A[AB];", "ERROR 1121 9 19 S1=<,FF1,FF1A[AB]"},
        {9, "WA=D1X;", "ERROR 2 9 8 WA=D1X"},
        {9, "TZ=W70000;", "ERROR 1104 9 11 TZ=W70000"},
        {9, "S3=<,K[AB];", "ERROR 404 9 12 S3=<,K[AB]"},
        {8, "COLTAB=[AB];", "ERROR 1127 8 13 COLTAB=[AB]"},  // the set has no colour table
        {9, "COLTAB=[AB];", "ERROR 404 9 13 COLTAB=[AB]"},   // only before the first system statement
        {9, "MODUL X;", "ERROR 409 9 9 MODUL=X"},
        {9, "BEGIN", "ERROR 405 9 6 BEGIN"},
    };
    for (const Case& c : cases) {
        Result r = Compile(Replace(S2(), c.line, c.line, {c.text}));
        EXPECT_EQ(r.rc, 1) << c.text;
        EXPECT_EQ(r.Last(), c.error) << c.text;
    }
}

TEST(ModuleStatements, AReadErrorInTheModulesShowsWhatWasRead)
{
    // A bracket error returns the empty statement: the report has no text,
    // never the statement read before it.
    Result r = Compile(Replace(S2(), 8, 8, {"S1=>,Y+1,K[A[B]];"}));
    EXPECT_EQ(r.report, (std::vector<std::string>{"MSG Zeile: 8", "MSG Spalte: 14", "MSG ", "MSG Klammern in Klammern",
                                                 "ERROR 401 8 14"}));
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"S1=<,K[AB]];"})).Last(), "ERROR 401 9 12");
    // A statement that grows too long is shown as far as it was read.
    const std::string longItem(260, 'Y');
    r = Compile(Replace(S2(), 9, 9, {"S1=<," + longItem + ";"}));
    EXPECT_EQ(r.Last(), "ERROR 402 9 255 S1=<," + longItem.substr(0, 250));
}

TEST(ModuleStatements, ABadNumberGivesThePositionOfItsFirstBadCharacter)
{
    // Pinned: the code is where the number stops being one.
    Result r = Compile(Replace(S2(), 9, 9, {"WA=D1X;"}));
    ASSERT_GE(r.report.size(), 2u);
    EXPECT_EQ(r.report[r.report.size() - 2], "MSG Fehler 2");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"RV=R12Q;"})).Last(), "ERROR 3 9 9 RV=R12Q");
    EXPECT_EQ(Compile(Replace(S2(), 9, 9, {"MV=VX;"})).Last(), "ERROR 1 9 7 MV=VX");
}

TEST(ModuleStatements, SingleModuleNeedsNoFeed)
{
    Result r = Compile(Replace(S2(), 8, 8, {"S1=>,K[AB];"}));
    EXPECT_EQ(r.rc, 0) << r.Last();
    EXPECT_EQ(r.Count('Z'), 2);
}

TEST(ModuleStatements, ASelfNamingSlotEndsWithStatementTooLong)
{
    Lines s = Replace(S2(), 4, 4, {"[]=MAIN(#1);"});
    Result r = Compile(Replace(s, 9, 9, {"TZ=#1;"}));
    EXPECT_EQ(r.Last(), "ERROR 402 9 7 TZ=#1");
    // A slot that keeps growing stops at the statement length as well.
    s = Replace(S2(), 4, 4, {"[]=MAIN(#1#1);"});
    r = Compile(Replace(s, 9, 9, {"TZ=#1;"}));
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.Last().rfind("ERROR 402 9 7 TZ=", 0), 0u) << r.Last();
}

TEST(ModuleStatements, AModuleTheScriptDoesNotHoldIsNotFound)
{
    Result r = Compile(Replace(S2(), 4, 4, {"[]=OTHER;"}));
    EXPECT_EQ(r.Last(), "ERROR 413 0 0 OTHER");
    EXPECT_EQ(r.Count('Z'), 0);
}
