// The statement reader in text and file mode, and the routines that cut
// statements into their parts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kernel/compiler/statementfile.h"
#include "kernel/compiler/statementreader.h"
#include "kernel/model/workrecord.h"
#include "tests/support/test_env.h"

namespace {
struct Read {
    int32_t error;
    std::string text;
    int line;
    int column;
};

// The reader at the start of a script, as the header pass starts it.
void StartText(const std::string& text, uint8_t headerState = 0)
{
    ZrVar.ScriptText = text;
    ZrVar.ScriptLength = 0;
    ZrVar.TextPosition = 1;
    ZrVar.ErrorLine = 1;
    ZrVar.ErrorColumn = 0;
    ZrVar.HeaderState = headerState;
}

Read Next(bool braceText = false)
{
    Read r;
    ReadStatement(r.error, braceText, r.text, false);
    r.line = ZrVar.ErrorLine;
    r.column = ZrVar.ErrorColumn;
    return r;
}

// Every statement up to the end of the text (the final -999 left out).
std::vector<std::string> All(const std::string& text, bool braceText = false)
{
    StartText(text);
    std::vector<std::string> out;
    for (;;) {
        Read r = Next(braceText);
        if (r.error != 0)
            break;
        out.push_back(r.text);
    }
    return out;
}

using Texts = std::vector<std::string>;
}  // namespace

TEST(ReadStatement, BlanksVanishLettersRiseEmptyStatementsAreSkipped)
{
    EXPECT_EQ(All("modulset test ;\r\nbegin\r\n$zr_typ = 312 ;;; end ;"),
              (Texts{"MODULSET=TEST", "BEGIN", "$ZR_TYP=312", "END"}));
    // BEGIN needs no ";"; the rest of the line is the next statement.
    EXPECT_EQ(All("BEGIN$X=5;"), (Texts{"BEGIN", "$X=5"}));
    // Letters in brackets keep their case; tabs are ordinary characters.
    EXPECT_EQ(All("s1=>,k[ab];a\tb;"), (Texts{"S1=>,K[ab]", "A\tB"}));
}

TEST(ReadStatement, CommentsNestAndBraceTexts)
{
    EXPECT_EQ(All("{ a { b } c } $X=5;"), (Texts{"$X=5"}));
    EXPECT_EQ(All("$X{x}=5;{;}$Y=2;"), (Texts{"$X=5", "$Y=2"}));
    // With brace texts allowed, a statement starting with "{" is a text of
    // its own: blanks and case stay, the closing brace is not kept. The
    // letters of a comment nested inside it vanish; its blanks and ";" are
    // the brace text's and stay.
    StartText("{ a { b } c }$X=5;");
    Read r = Next(true);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.text, "{ a    c ");
    EXPECT_EQ(Next(false).text, "$X=5");
    StartText("{x{y;z}w}$X=5;");
    EXPECT_EQ(Next(true).text, "{x;w");
    EXPECT_EQ(Next(false).text, "$X=5");
    StartText("$FD[A]=W5{p {q r;} s};");
    EXPECT_EQ(Next(true).text, "$FD[A]=W5{p  ; s}");
    StartText("{Gr\xf6\xdf" "e; x}");
    EXPECT_EQ(Next(true).text, "{Gr\xf6\xdf" "e; x");
    // A brace inside a statement is a comment even with brace texts allowed.
    StartText("$V_1=R3{note};");
    EXPECT_EQ(Next(true).text, "$V_1=R3");
}

TEST(ReadStatement, DensityDirectiveKeepsItsBraceText)
{
    EXPECT_EQ(All("$fd[a]=w10{Front; x y},d5{b};"), (Texts{"$FD[a]=W10{Front; x y},D5{b}"}));
}

TEST(ReadStatement, BracketErrors)
{
    for (const char* text : {"[A[B]];", "$X=5];", "$X=}5;", "$X=[A;B];", "$FD[A]=W5};"}) {
        StartText(text);
        Read r = Next();
        EXPECT_EQ(r.error, 401) << text;
        EXPECT_EQ(r.text, "") << text;
    }
    // The statement ends at the error: the rest is read as the next one.
    StartText("$X=5];$Y=2;");
    EXPECT_EQ(Next().error, 401);
    Read r = Next();
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.text, "$Y=2");
}

TEST(ReadStatement, LengthLimit)
{
    StartText("MODULSET" + std::string(246, 'A') + ";");
    Read ok = Next();
    EXPECT_EQ(ok.error, 0);
    EXPECT_EQ(ok.text, "MODULSET=" + std::string(246, 'A'));
    for (size_t extra : {247u, 300u}) {
        StartText("MODULSET" + std::string(extra, 'A') + ";");
        Read r = Next();
        EXPECT_EQ(r.error, 402);
        EXPECT_EQ(r.line, 1);
        EXPECT_EQ(r.column, 255);
        // Still split-able: what was read is kept.
        EXPECT_EQ(r.text.substr(0, 9), "MODULSET=");
        EXPECT_LE(r.text.size(), 255u);
    }
}

TEST(ReadStatement, LinesAndColumns)
{
    StartText("MODULSET TEST;\r\nBEGIN\r\n$Y=1;");
    Read r = Next();
    EXPECT_EQ(r.line, 1);
    EXPECT_EQ(r.column, 14);
    r = Next();
    EXPECT_EQ(r.line, 2);
    EXPECT_EQ(r.column, 6);  // columns start at 2 after a line end
    r = Next();
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.column, 6);
    EXPECT_EQ(ZrVar.StartLine, 2);  // where the statement began: after BEGIN

    // Bare line feeds count as CR LF does.
    StartText("MODULSET TEST;\nBEGIN\n$Y=1;");
    Next();
    Next();
    r = Next();
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.column, 6);
}

TEST(ReadStatement, ColumnStopsAt255)
{
    StartText("A;\r\nB;\r\n" + std::string(260, ' ') + "$X=5];");
    Next();
    Next();
    Read r = Next();
    EXPECT_EQ(r.error, 401);
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.column, 255);
}

TEST(ReadStatement, EndOfTextInsideAStatement)
{
    StartText("A;\r\nB;\r\n$X=5");
    Next();
    Next();
    Read r = Next();
    EXPECT_EQ(r.error, -999);
    EXPECT_EQ(r.text, "**********");
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.column, 5);
    EXPECT_EQ(ZrVar.ScriptLength, 0);
    // Reading on stays at the end.
    EXPECT_EQ(Next().error, -999);
    StartText("");
    EXPECT_EQ(Next().error, -999);
}

TEST(ReadStatement, ModulAndModulsetNamesAreSplitOff)
{
    StartText("MODULSET X;MODUL SETUP;MODUL MAIN;");
    EXPECT_EQ(Next().text, "MODULSET=X");
    EXPECT_EQ(Next().text, "MODULSET=UP");  // the header knows no modules
    StartText("MODULSET X;MODUL SETUP;MODUL MAIN;", 4);
    EXPECT_EQ(Next().text, "MODUL=SETX");
    EXPECT_EQ(Next().text, "MODUL=SETUP");  // after END: a module named SETUP
    EXPECT_EQ(Next().text, "MODUL=MAIN");
}

TEST(SplitAtEquals, FirstEqualsUnlessABracketSpansIt)
{
    struct Case {
        const char* in;
        const char* head;
        const char* rest;
    };
    for (const Case& c : {
             Case{"$Y=1", "$Y", "1"},
             Case{"[AB]=M([XYZ],7)", "[AB]", "M([XYZ],7)"},
             Case{"$FD[=]=W5", "$FD[=]", "W5"},
             Case{"$FD[A]=W5\"a=b\"", "$FD[A]", "W5\"a=b\""},
             Case{"$P_1=FF1A([=])", "$P_1", "FF1A([=])"},
             Case{"END", "END", ""},
             Case{"$X=", "$X", ""},
             Case{"=5", "", "5"},
             Case{"[=]", "[=]", ""},
             Case{"[=", "[", ""},
             Case{"A=B=C", "A", "B=C"},
         }) {
        std::string s = c.in, head;
        SplitAtEquals(s, 255, head);
        EXPECT_EQ(head, c.head) << c.in;
        EXPECT_EQ(s, c.rest) << c.in;
    }
    std::string s = "ABCDEF=1", head;
    SplitAtEquals(s, 3, head);
    EXPECT_EQ(head, "ABC");
    EXPECT_EQ(s, "1");
}

TEST(SplitAtComma, HeadAndRest)
{
    std::string s = "R3,U1", head;
    SplitAtComma(s, 255, head);
    EXPECT_EQ(head, "R3");
    EXPECT_EQ(s, "U1");
    SplitAtComma(s, 255, head);
    EXPECT_EQ(head, "U1");
    EXPECT_EQ(s, "");
    s = ",x";
    SplitAtComma(s, 255, head);
    EXPECT_EQ(head, "");
    EXPECT_EQ(s, "x");
}

TEST(TakeNumber, LeadingNumbers)
{
    std::string s = "12abc";
    EXPECT_EQ(TakeNumber(s), 12);
    EXPECT_EQ(s, "abc");
    s = "-5";
    EXPECT_EQ(TakeNumber(s), -5);
    EXPECT_EQ(s, "");
    s = "+7,";
    EXPECT_EQ(TakeNumber(s), 7);
    EXPECT_EQ(s, ",");
    int32_t v = 1;
    s = "x5";
    EXPECT_FALSE(TakeNumber(s, v));
    EXPECT_EQ(v, 0);
    EXPECT_EQ(s, "x5");
    s = "-";
    EXPECT_FALSE(TakeNumber(s, v));
    EXPECT_EQ(s, "-");
    s = "99999999999999";
    EXPECT_TRUE(TakeNumber(s, v));
    EXPECT_EQ(v, 2147483647);
    s = "-99999999999999";
    EXPECT_EQ(TakeNumber(s), -2147483647);

    EXPECT_TRUE(ParseNumber("264", v));
    EXPECT_EQ(v, 264);
    EXPECT_FALSE(ParseNumber("5A", v));
    EXPECT_FALSE(ParseNumber("", v));
    EXPECT_FALSE(ParseNumber("1-2", v));
}

// ---------------------------------------------------------------------------
// Statement file

namespace {
std::string Path()
{
    return TestHome() + "Temp/STR_PHS6.TMP";
}
}  // namespace

TEST(StatementFile, EntriesAndBlocks)
{
    auto file = std::make_shared<StatementFile>();
    ASSERT_TRUE(file->Create(Path()));
    std::vector<int32_t> positions;
    std::string text(200, 'Q');
    for (int i = 0; i < 120; ++i) {
        int32_t at = -1;
        text[0] = char('A' + i % 26);
        ASSERT_TRUE(file->Append(uint16_t(i + 1), uint8_t(i % 250 + 1), text, at));
        positions.push_back(at);
    }
    ASSERT_TRUE(file->Flush());
    std::string bytes = ReadTestFile(Path());
    ASSERT_EQ(bytes.size() % 10000, 0u);
    EXPECT_EQ(bytes.size(), 30000u);  // 48 entries of 204 bytes per block
    EXPECT_EQ(positions[47], 47 * 204);
    EXPECT_EQ(positions[48], 10000);
    // The first entry's header and text.
    EXPECT_EQ(bytes.substr(0, 5), std::string("\x01\x00\x01\xc8" "A", 5));

    ASSERT_TRUE(file->Rewind());
    ZrVar.Statements = file;
    for (int i = 0; i < 120; ++i) {
        int32_t error = 1;
        std::string st;
        ReadStatement(error, false, st, true);
        ASSERT_EQ(error, 0) << i;
        EXPECT_EQ(st[0], char('A' + i % 26));
        EXPECT_EQ(st.size(), 200u);
        EXPECT_EQ(ZrVar.ErrorLine, i + 1);
        EXPECT_EQ(ZrVar.ErrorColumn, i % 250 + 1);
    }
    // Past the last block: the end, nothing read.
    int32_t error = 0;
    std::string st;
    ReadStatement(error, false, st, true);
    EXPECT_EQ(error, -999);
    EXPECT_EQ(st, "**********");
    ReadStatement(error, false, st, true);
    EXPECT_EQ(error, -999);

    // Jumping back into block 0 and forward into block 2.
    ASSERT_TRUE(file->Seek(positions[5]));
    uint16_t line;
    uint8_t column;
    ASSERT_TRUE(file->Next(line, column, st));
    EXPECT_EQ(line, 6);
    ASSERT_TRUE(file->Seek(positions[100]));
    EXPECT_EQ(file->Block(), 2);
    ASSERT_TRUE(file->Next(line, column, st));
    EXPECT_EQ(line, 101);
    EXPECT_FALSE(file->Seek(5 * 10000));
    EXPECT_FALSE(file->Seek(-1));
}

TEST(StatementFile, DamagedOrMissingFileReadsAsTheEnd)
{
    int32_t error = 0;
    std::string st;
    ZrVar.Statements.reset();
    ReadStatement(error, false, st, true);
    EXPECT_EQ(error, -999);

    auto file = std::make_shared<StatementFile>();
    ASSERT_TRUE(file->Create(Path()));
    uint16_t line;
    uint8_t column;
    EXPECT_FALSE(file->Rewind());  // nothing written yet: no block 0
    EXPECT_FALSE(file->Next(line, column, st));

    // A block whose last entry claims more bytes than the block has.
    std::string block(10000, '\0');
    block.replace(0, 6, std::string("\x01\x00\x03\x02OK", 6));
    block.replace(9990, 4, std::string("\x02\x00\x01\xc8", 4));
    WriteTestFile(Path(), block);
    ASSERT_TRUE(file->Rewind());
    ASSERT_TRUE(file->Next(line, column, st));
    EXPECT_EQ(st, "OK");
    EXPECT_EQ(column, 3);
    ASSERT_TRUE(file->Seek(9990));
    EXPECT_FALSE(file->Next(line, column, st));
    // A header that would not fit ends the block; there is no next one.
    ASSERT_TRUE(file->Seek(9998));
    EXPECT_FALSE(file->Next(line, column, st));
}

TEST(StatementFile, CannotBeCreated)
{
    StatementFile file;
    EXPECT_FALSE(file.Create(TestHome() + "no/such/folder/STR_PHS6.TMP"));
    EXPECT_FALSE(file.Create(""));
    int32_t at;
    // Filling a block with nowhere to write it fails instead of losing it.
    bool ok = true;
    for (int i = 0; i < 60 && ok; ++i)
        ok = file.Append(1, 1, std::string(200, 'x'), at);
    EXPECT_FALSE(ok);
}
