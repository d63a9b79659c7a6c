// The seven list editors' rules without a display: what a line shows, what
// a typed value stores, the limits, list numbers and the linked editors.
#include <gtest/gtest.h>

#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "lists/core/aliste_core.h"
#include "lists/core/fliste_core.h"
#include "lists/core/list_links.h"
#include "lists/core/nliste_core.h"
#include "lists/core/pliste_core.h"
#include "lists/core/sliste_core.h"
#include "lists/core/vliste_core.h"
#include "lists/core/wliste_core.h"
#include "tests/lists/editor_driver.h"

namespace {
const uint8_t* Line(T_ListenVar& list, int i)
{
    return list.PeekLine(static_cast<uint16_t>(i));
}

TEST(VListe, MainRackingMarksTheLineUsed)
{
    EditorDriver<VListeCore> d;
    ProgrammKopf.data()[8] = 28;
    d.core->FormActivate();
    // The append row of an empty list takes the first line.
    d.GoTo(VListeCore::Haupt);
    d.Type("5");
    d.Right();
    ASSERT_EQ(VListe->Count(), 1);
    EXPECT_EQ(Hex(Line(*VListe, 1), 0, 3), "010005");
    EXPECT_EQ(d.FieldCell(VListeCore::Haupt).text, "R05");

    d.host.entryAnswers.push_back(2);  // "U1"
    d.Key(45);
    EXPECT_EQ(Line(*VListe, 1)[5], 1);
    EXPECT_EQ(d.Text(VListeCore::Umhaenge), "U1");

    d.GoTo(VListeCore::Haupt);
    d.Key(46);
    d.Right();
    EXPECT_EQ(Line(*VListe, 1)[0], 0);
    for (int f = VListeCore::Umhaenge; f <= VListeCore::Kommentar; ++f) {
        EXPECT_EQ(d.FieldCell(f, 1).text, "") << f;
        EXPECT_TRUE(d.FieldCell(f, 1).readOnly) << f;
    }
}

// A row never shows a value the list does not hold: the append row of an
// empty list begins line 1, and a full list refuses the append row audibly.
TEST(VListe, RowsShowOnlyWhatTheListHolds)
{
    {
        EditorDriver<VListeCore> d;
        ProgrammKopf.data()[8] = 28;
        d.core->FormActivate();
        d.Right();
        d.Down();
        ASSERT_EQ(d.core->CursorLine(), 2);
        ASSERT_EQ(d.core->Feld(), VListeCore::Haupt);
        d.Type("5R");
        d.Key(37);
        ASSERT_EQ(VListe->Count(), 1);
        EXPECT_EQ(Hex(Line(*VListe, 1), 0, 3), "010005");
        EXPECT_EQ(d.core->CursorLine(), 1);
        EXPECT_EQ(d.FieldCell(VListeCore::Haupt).text, "R05");
        EXPECT_EQ(d.host.beeps, 0);
    }
    {
        EditorDriver<VListeCore> d;
        ProgrammKopf.data()[8] = 28;
        VListe->SetCount(VListe->MaxLines());
        d.core->FormActivate();
        d.Key(35);  // End: the append row
        d.GoTo(VListeCore::Haupt);
        ASSERT_EQ(d.core->CursorLine(), VListe->MaxLines() + 1);
        const int row = d.core->Zeile();
        d.Type("5R");
        d.Key(37);
        EXPECT_EQ(VListe->Count(), VListe->MaxLines());
        EXPECT_EQ(d.FieldCell(VListeCore::Haupt, row).text, "");
        EXPECT_EQ(d.host.beeps, 1);
        EXPECT_EQ(d.host.statusText, "Die Liste ist voll");
    }
}

TEST(VListe, MainRackingLimitFollowsTheGaugeUpTo28)
{
    struct Case {
        int header;
        const char* typed;
        const char* bytes;
    };
    const Case cases[] = {{20, "21", "010003"}, {20, "20", "010014"}, {30, "29", "010003"}, {30, "28", "01001c"}};
    for (const Case& c : cases) {
        CreateProgramModel();
        VListe->GetLine(1)[0] = 1;
        VListe->GetLine(1)[2] = 3;
        put_u16(ProgrammKopf.data(), 8, static_cast<uint16_t>(c.header));
        EditorDriver<VListeCore> d;
        d.GoTo(VListeCore::Haupt);
        d.Type(c.typed);
        d.Right();
        EXPECT_EQ(Hex(Line(*VListe, 1), 0, 3), c.bytes) << c.header << " " << c.typed;
    }
}

class AListeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgrammKopf.data()[11] = 1;
        AListe->GetLine(1);
    }
};

TEST_F(AListeTest, LowerTakeDownAndNeedleGroupsExcludeEachOther)
{
    EditorDriver<AListeCore> d;
    AListeCore& a = *d.core;
    d.GoTo(a.MinNadel1);
    d.Type("50");
    d.Right();
    EXPECT_EQ(Hex(Line(*AListe, 1), 2, 2), "6565");
    EXPECT_EQ(Hex(Line(*AListe, 1), 8, 2), "3200");
    d.Type("7");
    d.Right();
    EXPECT_EQ(Line(*AListe, 1)[10], 7);

    d.GoTo(a.UnterWA);
    d.Type("30");
    d.Right();
    const uint8_t* p = Line(*AListe, 1);
    EXPECT_EQ(p[2], 0x1e);
    EXPECT_EQ(Hex(p, 8, 2), "1027");
    EXPECT_EQ(Hex(p, 12, 2), "1027");
    for (int at : {10, 11, 14, 15})
        EXPECT_EQ(p[at], 0) << at;
    EXPECT_TRUE(d.FieldCell(a.MinWA1).readOnly);
}

TEST_F(AListeTest, PulsIsASignedByteAndFastRunSwitchesOff)
{
    struct Case {
        uint8_t byte3;
        const char* puls;
        uint32_t fastRun;
    };
    const Case cases[] = {{0x9c, "-100", 0}, {0xff, "-001", 0}, {0x14, "+020", 0}, {0x7f, "", 1}, {101, "", 0}};
    for (const Case& c : cases) {
        AListe->GetLine(1)[3] = c.byte3;
        EditorDriver<AListeCore> d;
        EXPECT_EQ(d.FieldCell(d.core->UnterPuls, 1).text, c.puls) << int(c.byte3);
        EXPECT_EQ(d.FieldCell(d.core->Schnellauf, 1).LongTag, c.fastRun) << int(c.byte3);
    }
    // A blank in the fast-run cell of a fast-run line switches it off.
    AListe->GetLine(1)[3] = 0x7f;
    EditorDriver<AListeCore> d;
    d.GoTo(d.core->Schnellauf);
    d.Type(" ");
    EXPECT_EQ(Line(*AListe, 1)[3], 0x65);
}

TEST_F(AListeTest, OpenCloseBlanksAndCombLinesShowWithoutWriting)
{
    uint8_t* first = AListe->GetLine(1);
    first[4] = 102;
    first[7] = 103;
    uint8_t* comb = AListe->GetLine(2);
    put_u16(comb, 0, 0);
    comb[6] = comb[7] = 5;
    EditorDriver<AListeCore> d;
    AListeCore& a = *d.core;
    EXPECT_EQ(d.core->Grid().At(2, 1).text, "K");
    EXPECT_TRUE(d.FieldCell(a.OberDruck, 2).readOnly);
    EXPECT_EQ(Line(*AListe, 2)[7], 5);
    EXPECT_EQ(d.FieldCell(a.OberOeffnen, 1).text, "O><O");
    // Choosing blank: the lower cell stores 0, the upper one keeps its byte.
    d.GoTo(a.UnterOeffnen);
    d.host.entryAnswers.push_back(0);
    d.Key(45);
    d.GoTo(a.OberOeffnen);
    d.host.entryAnswers.push_back(0);
    d.Key(45);
    EXPECT_EQ(Line(*AListe, 1)[4], 0);
    EXPECT_EQ(Line(*AListe, 1)[7], 103);
    // Storing on the comb line applies what its showing computed.
    d.GoToLine(2);
    d.GoTo(a.MinWA1);
    d.GoTo(a.Kommentar);
    d.host.textAnswers.push_back("Kamm");
    d.Key(45);
    EXPECT_EQ(Line(*AListe, 2)[6], 101);
    EXPECT_EQ(Line(*AListe, 2)[7], 101);
}

TEST(PListe, RailZeroClearsTheCarrier)
{
    PListe->GetLine(1);
    EditorDriver<PListeCore> d;
    d.GoTo(PListeCore::Schiene);
    d.Type("3");
    d.Right();
    put_u32(PListe->GetLine(1), 8, 7);
    d.Key(37);
    d.Type("0");
    d.Right();
    const uint8_t* p = Line(*PListe, 1);
    EXPECT_EQ(Hex(p, 2, 4), "00000000");
    EXPECT_EQ(get_u32(p, 8), 0u);
    EXPECT_EQ(Hex(p, 12, 4), "00800080");
    EXPECT_EQ(p[16], 0);
    EXPECT_TRUE(d.FieldCell(PListeCore::Kasten).readOnly);
}

TEST(PListe, TypedListNumbersNeverGrowTheListButByOne)
{
    struct Case {
        const char* typed;
        int count, cursorLine;
    };
    const Case cases[] = {{"3", 3, 3}, {"9", 2, 3}, {"2", 2, 2}, {"0", 2, 3}};
    for (const Case& c : cases) {
        CreateProgramModel();
        PListe->GetLine(2);  // sub-lists 1 and 2
        EditorDriver<PListeCore> d;
        d.GoToLine(3);  // the append row
        d.Type(c.typed);
        d.Enter();
        EXPECT_EQ(PListe->Count(), c.count) << c.typed;
        EXPECT_EQ(d.core->CursorLine(), c.cursorLine) << c.typed;
        if (c.count == 3) {
            EXPECT_EQ(get_u16(Line(*PListe, 3), 0), 3);
        }
    }
}

TEST(FListe, DLimitAndSelectorValuesPastTheWList)
{
    put_u16(ProgrammKopf.data(), 6, 140);
    FListe->GetLine(2);
    put_u16(FListe->GetLine(2), 0, 0);
    FListe->GetLine(2)[2] = 2;
    put_u16(FListe->GetLine(2), 4, 500);
    WListe->GetLine(3);
    EditorDriver<FListeCore> d;
    FListeCore& f = *d.core;
    d.GoTo(f.WertLinks);
    d.Type("150");
    EXPECT_EQ(d.Text(f.WertLinks), "D150");
    d.Right();
    EXPECT_EQ(Hex(Line(*FListe, 1), 2, 4), "00000000");
    d.Key(37);
    d.Type("140");
    d.Right();
    EXPECT_EQ(Hex(Line(*FListe, 1), 2, 4), "00008c00");

    d.GoToLine(2);
    d.GoTo(f.WahlLinks);
    EXPECT_EQ(d.Text(f.WahlLinks), "");
    EXPECT_EQ(WListe->Count(), 3);
    // An opening line has no colour set; a continuation line has no number.
    EXPECT_TRUE(d.FieldCell(f.Farbe, 1).readOnly);
    EXPECT_TRUE(d.FieldCell(f.Nr, 2).readOnly);
}

TEST(FListe, SelectorValuesShowSignedAndLinkTheWEditor)
{
    RuestSchema.b[0] = 1;
    for (int i = 1; i <= 3; ++i)
        put_i16(WListe->GetLine(static_cast<uint16_t>(i)), 0, static_cast<int16_t>(i == 3 ? -5 : i));
    FListe->GetLine(2);
    FListe->GetLine(1)[2] = 2;
    put_u16(FListe->GetLine(1), 4, 3);
    EditorDriver<WListeCore> w;
    w.host.active = false;
    w.core->FormDeactivate();
    GotoListWindow = [&](const std::string& form, int line, int field) {
        if (form != "W_Liste")
            return false;
        w.core->GotoLine(line, field);
        return true;
    };
    EditorDriver<FListeCore> d;
    d.GoTo(d.core->WertLinks);
    EXPECT_EQ(d.FieldCell(d.core->WahlLinks).text, "-005");
    EXPECT_EQ(w.core->CursorLine(), 3);
    EXPECT_EQ(w.FieldCell(WListeCore::Level1).background, 0xffff00u);
    d.GoToLine(2);
    EXPECT_EQ(w.core->Grid().At(w.core->Zeile(), w.core->Field(w.core->Feld()).column).background, 0x00ffffu);
    GotoListWindow = nullptr;
}

TEST(NListe, LetterLimitsAndUnusedLines)
{
    uint8_t* p = NListe->GetLine(1);
    put_u16(p, 2, 5);
    NListe->GetLine(2)[kNLineSize - 1] = 0;
    put_u16(NListe->GetLine(2), 4, 7);
    WriteShortString(NListe->GetLine(2), 10, 80, "leer");
    EditorDriver<NListeCore> d;
    struct Case {
        const char* typed;
        const char* bytes6to9;
    };
    const Case cases[] = {{"2001d", "00000000"}, {"2001w", "0100d107"}, {"2000d", "0000d007"}};
    for (const Case& c : cases) {
        d.GoTo(NListeCore::DW);
        d.Type(c.typed);
        d.Right();
        EXPECT_EQ(Hex(Line(*NListe, 1), 6, 4), c.bytes6to9) << c.typed;
        d.Key(37);
    }
    // Passing over an unused line writes nothing.
    d.GoToLine(2);
    d.GoTo(NListeCore::Kommentar);
    d.GoToLine(1);
    EXPECT_EQ(get_i16(Line(*NListe, 2), 4), 7);
    EXPECT_EQ(Line(*NListe, 2)[10], 4);
    EXPECT_TRUE(d.FieldCell(NListeCore::PlusMinus, 2).readOnly);
}

TEST(SListe, SchemeLettersClearWhatTheyExclude)
{
    uint8_t* p = SListe->GetLine(1);
    put_u16(p, 2, 4);
    p[10] = 1;
    put_u16(p, 12, 9);
    p[14] = 2;
    put_u16(p, 16, 8);
    uint8_t* unused = SListe->GetLine(2);
    put_u16(unused, 4, 3);
    WriteShortString(unused, 26, 80, "Kommentar");
    const std::vector<uint8_t> before(unused, unused + kSLineSize);
    EditorDriver<SListeCore> d;
    d.GoTo(SListeCore::ZS);
    d.Type("5s");
    d.Right();
    p = SListe->GetLine(1);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(get_u16(p, 2), 5);
    EXPECT_EQ(Hex(p, 10, 8), "0000000000000000");
    EXPECT_TRUE(d.FieldCell(SListeCore::NW).readOnly);
    EXPECT_TRUE(d.FieldCell(SListeCore::PlusMinusW).readOnly);

    d.GoToLine(2);
    d.GoTo(SListeCore::Kommentar);
    d.GoToLine(1);
    const uint8_t* after = Line(*SListe, 2);
    EXPECT_EQ(std::vector<uint8_t>(after, after + kSLineSize), before);
}
}  // namespace
