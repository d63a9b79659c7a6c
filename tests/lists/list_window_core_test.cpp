// The list window's rules on the test list editor, without a display.
#include <gtest/gtest.h>

#include <sstream>

#include "kernel/model/bytes.h"
#include "kernel/model/workrecord.h"
#include "kernel/model/listmodel.h"
#include "lists/core/list_placement.h"
#include "lists/core/symbol_farben.h"
#include "tests/lists/fake_list_host.h"
#include "tests/tools/test_liste/test_liste_core.h"

namespace {
// Field numbers of the test editor.
enum { Nr = 1, Zahl, RL, XN, Wahl, FF, Farbe, Leer, Kommentar };

class TestListe : public ::testing::Test {
protected:
    FakeListHost host;
    std::unique_ptr<TestListeCore> core;
    std::vector<std::string> log;

    void Open(int lines, int clientHeight = 150)
    {
        for (int i = 1; i <= lines; ++i)
            SListe->GetLine(static_cast<uint16_t>(i));
        host.clientHeight = clientHeight;
        core = std::make_unique<TestListeCore>(host);
        host.core = core.get();
        core->OnStore = [this](int field, int row, int32_t value,
                               const std::optional<std::string>& text, int line) {
            std::ostringstream out;
            out << "STORE " << field << " " << row << " " << value << " "
                << (text ? "\"" + *text + "\"" : "-") << " " << line;
            log.push_back(out.str());
        };
        core->FormActivate();
    }
    // A key as the cell gets it: offered first, then the key-down handling,
    // then its character.
    void Key(int vk, char32_t c = 0, bool shift = false)
    {
        if (core->HandleKey(vk))
            return;
        if (core->KeyDown(vk, shift, false, false))
            return;
        if (c)
            core->CellEditor(c);
        core->KeyUp(false);
    }
    void Type(const std::string& text)
    {
        for (char c : text) {
            const int vk = c >= 'a' && c <= 'z' ? c - 32 : c == '+' ? 187 : c;
            Key(vk, static_cast<char32_t>(c));
        }
    }
    void Right() { Key(39); }
    void Left() { Key(37); }
    void GoTo(int field)
    {
        while (core->Feld() != field)
            Right();
    }
    const Cell& CursorCell() { return core->Grid().At(core->Zeile(), core->Field(core->Feld()).column); }
    const uint8_t* Line(int i) { return SListe->PeekLine(static_cast<uint16_t>(i)); }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
};

TEST_F(TestListe, LayoutColumnWidthsNeighboursAndLines)
{
    Open(30);
    // "8888" under a 7 px measure plus 8.
    EXPECT_EQ(core->Grid().At(1, core->Field(Nr).column).width, 36);
    EXPECT_EQ(core->SpaltenAnzahl(), 11);
    EXPECT_EQ(core->FelderAnzahl(), 9);
    for (int f = 1; f <= 9; ++f)
        EXPECT_EQ(core->Field(f).edgeBits, 3) << f;
    EXPECT_EQ(core->Field(Nr).left, Kommentar);
    EXPECT_EQ(core->Field(Kommentar).right, Nr);
    EXPECT_EQ(core->VisibleRows(), 5);
    core->GotoLine(5, 65535);
    GoTo(Zahl);
    Key(38);
    EXPECT_EQ(core->CursorLine(), 4);
    EXPECT_EQ(core->Feld(), Zahl);
}

TEST_F(TestListe, ResizeAddsAndHidesRowsWithinTheLines)
{
    Open(30, 80);
    EXPECT_EQ(core->VisibleRows(), 2);
    host.clientHeight = 300;
    core->FormResize();
    const int grown = core->Grid().Rows();
    EXPECT_GE(core->VisibleRows(), 10);
    host.clientHeight = 80;
    core->FormResize();
    EXPECT_EQ(core->Grid().Rows(), grown);
    EXPECT_TRUE(core->Grid().At(3, 1).hidden);
    EXPECT_FALSE(core->Grid().At(2, 1).hidden);
}

TEST_F(TestListe, EmptyListShowsOneRowAndTheAppendRowWithoutGrowing)
{
    Open(0);
    EXPECT_EQ(core->VisibleRows(), 1);
    EXPECT_EQ(core->Grid().At(1, 2).text, "0001");
    Key(40);
    EXPECT_EQ(core->ZeileOffset(), 2);
    EXPECT_EQ(core->Grid().At(1, 2).text, "0002");
    EXPECT_EQ(SListe->Count(), 0);
}

TEST_F(TestListe, FieldDefinedTwiceEndsTheProgram)
{
    Open(1);
    EditFieldDef again;
    again.field = 3;
    again.kind = 1;
    EXPECT_EXIT(core->DefineEditField(again), ::testing::ExitedWithCode(99),
                "Editfeld wurde bereits definiert!\rTestliste Nr. 3");
}

TEST_F(TestListe, NumberCellsStoreOnlyWhenChanged)
{
    SListe->GetLine(2);
    put_u16(SListe->GetLine(1), 0, 120);
    Open(2);
    GoTo(Zahl);
    EXPECT_EQ(CursorCell().text, "120");
    Type("7");
    EXPECT_EQ(CursorCell().text, "7");
    Type("8");
    EXPECT_EQ(CursorCell().text, "78");
    Right();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"STORE 2 1 78 - 1"}));
    EXPECT_EQ(get_u16(Line(1), 0), 78);
    EXPECT_EQ(core->Grid().At(1, 3).text, "078");
    Left();
    Type("300");
    Right();
    // Above the maximum: the cell's own earlier value again.
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"STORE 2 1 78 - 1"}));
    EXPECT_EQ(get_u16(Line(1), 0), 78);
    // Passing over every cell of line 2 and back stores nothing.
    const std::string before(reinterpret_cast<const char*>(Line(2)), kSLineSize);
    Key(40);
    for (int i = 0; i < 9; ++i)
        Right();
    for (int i = 0; i < 9; ++i)
        Left();
    Key(38);
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Line(2)), kSLineSize), before);
}

TEST_F(TestListe, SignLetterAndLetterNumberCells)
{
    Open(1);
    GoTo(RL);
    Type("5");
    EXPECT_EQ(CursorCell().text, "R5");
    Right();
    EXPECT_EQ(Line(1)[2], 'R');
    EXPECT_EQ(get_u16(Line(1), 4), 5);
    EXPECT_EQ(core->Grid().At(1, 4).text, "R05");
    Left();
    Type(" ");
    EXPECT_EQ(CursorCell().text, "L5");
    Right();
    EXPECT_EQ(Line(1)[2], 'L');
    EXPECT_EQ(core->Grid().At(1, 4).text, "L05");
    Left();
    TakeLog();
    Type("29");
    EXPECT_EQ(CursorCell().text, "R29");
    Right();
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(core->Grid().At(1, 4).text, "L05");
    Left();
    Key(46);
    EXPECT_EQ(CursorCell().text, "0");
    Right();
    EXPECT_EQ(Line(1)[2], 0);
    EXPECT_EQ(get_u16(Line(1), 4), 0);
    EXPECT_EQ(core->Grid().At(1, 4).text, "");
    GoTo(XN);
    Type("n");
    EXPECT_EQ(core->Grid().At(1, 5).text, "N");
    Right();
    EXPECT_EQ(Line(1)[6], 'N');
}

TEST_F(TestListe, ChoiceSymbolAndCommentCells)
{
    Open(1);
    GoTo(Wahl);
    std::vector<int> bytes;
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        Type(" ");
        shown.push_back(CursorCell().text);
        bytes.push_back(Line(1)[10]);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"G", "U1", "U2", "G"}));
    EXPECT_EQ(bytes, (std::vector<int>{1, 2, 3, 1}));
    EXPECT_EQ(TakeLog().size(), 4u);
    GoTo(Farbe);
    Type("a");
    EXPECT_EQ(CursorCell().text, "A");
    Type("a");
    EXPECT_EQ(CursorCell().text, "");
    Type("v+");
    Right();
    EXPECT_EQ(get_u32(Line(1), 12), 0x21u);
    // The take-down kind: a blank empties the cell, which stores "none".
    GoTo(Leer);
    Type("5");
    Right();
    EXPECT_EQ(get_u16(Line(1), 16), 5);
    Left();
    Type(" ");
    Right();
    EXPECT_EQ(get_u16(Line(1), 16), 65535);
    EXPECT_EQ(core->Grid().At(1, 10).text, "");
    GoTo(Kommentar);
    host.textAnswers.push_back(std::string("abc"));
    Key(45);
    EXPECT_EQ(Line(1)[26], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Line(1) + 27), 3), "abc");
    EXPECT_EQ(CursorCell().text, "abc");
}

TEST_F(TestListe, CursorColours)
{
    Open(2);
    GoTo(Zahl);
    EXPECT_EQ(CursorCell().background, 0x000080u);
    EXPECT_EQ(CursorCell().textColour, 0xffffffu);
    Type("1");
    EXPECT_EQ(CursorCell().background, 0xffffffu);
    EXPECT_EQ(core->Grid().At(1, 2).background, 0xc0c0c0u);
    host.active = false;
    core->FormDeactivate();
    EXPECT_EQ(CursorCell().background, 0x00ffffu);
}

TEST_F(TestListe, EnterPagingAndHome)
{
    Open(30);
    Type("12");
    Key(13);
    EXPECT_EQ(core->ZeileOffset(), 8);
    EXPECT_EQ(core->Zeile(), 5);
    EXPECT_EQ(core->Feld(), Zahl);
    for (int i = 0; i < 10; ++i)
        Key(34);
    EXPECT_EQ(core->ZeileOffset(), 27);
    EXPECT_EQ(core->CursorLine(), 31);
    EXPECT_EQ(SListe->Count(), 30);
    Key(36);
    EXPECT_EQ(core->ZeileOffset(), 1);
    // Only the typed line number was stored (field 1 stores nothing).
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"STORE 1 1 12 - 1"}));
}

TEST_F(TestListe, WheelAndGotoLine)
{
    Open(30);
    core->Wheel(-120, false, false);
    EXPECT_EQ(core->ZeileOffset(), 2);
    core->Wheel(-120, false, false);
    EXPECT_EQ(core->ZeileOffset(), 3);
    core->Wheel(-240, false, false);
    EXPECT_EQ(core->ZeileOffset(), 5);
    core->Wheel(240, false, false);
    EXPECT_EQ(core->ZeileOffset(), 3);
    // With Shift held (its press went through the key handling first) a
    // notch is one line; typing then lands on the line the row shows.
    core->KeyDown(16, true, false, false);
    core->Wheel(-120, false, true);
    EXPECT_EQ(core->ZeileOffset(), 4);
    core->Wheel(-240, false, true);
    EXPECT_EQ(core->ZeileOffset(), 6);
    core->KeyUp(false);
    EXPECT_EQ(core->CursorLine(), 6 + core->Zeile() - 1);
    core->Wheel(360, false, false);
    EXPECT_EQ(core->ZeileOffset(), 3);
    core->GotoLine(40, 65535);
    EXPECT_EQ(core->ZeileOffset(), 3);
    EXPECT_EQ(CursorCell().background, 0x00ffffu);
    EXPECT_EQ(SListe->Count(), 30);
    core->GotoLine(12, 65535);
    EXPECT_EQ(CursorCell().background, 0xffff00u);
    EXPECT_EQ(core->CursorLine(), 12);
}

TEST_F(TestListe, CaretBlinksOnTypingCellsOnly)
{
    Open(1);
    GoTo(Zahl);
    core->Blink(false);
    EXPECT_EQ(CursorCell().text, "|000 ");  // centred: the caret in front, a blank behind
    EXPECT_EQ(core->TextWithoutCaret(1, 3), "000");
    Type("4");
    EXPECT_EQ(CursorCell().text, "4");
    core->Blink(false);
    core->Blink(false);
    EXPECT_EQ(CursorCell().text, "4");
    GoTo(Wahl);
    core->Blink(false);
    EXPECT_EQ(CursorCell().text, " ");
}

TEST_F(TestListe, BlankSteppingEndsAfterOneCycle)
{
    Open(1);
    core->Field(Wahl).mask = "0000";
    GoTo(Wahl);
    Type(" ");
    EXPECT_EQ(core->Grid().At(1, 7).LongTag, 0u);
    EXPECT_TRUE(TakeLog().empty());
    core->Field(RL).mask = "00";
    GoTo(RL);
    const std::string before = CursorCell().text;
    Type(" ");
    EXPECT_EQ(CursorCell().text, "0");  // the empty text's "afterwards" step only
    (void)before;
}

TEST_F(TestListe, ChoiceValuesPastTheEntriesShowNothing)
{
    uint8_t* line = SListe->GetLine(1);
    line[10] = 200;
    line[11] = 0xff;
    Open(1);
    EXPECT_EQ(core->Grid().At(1, 7).text, "");
    EXPECT_EQ(core->Grid().At(1, 8).text, "1+2+3");
}

TEST_F(TestListe, SelectionDialogsSetTheCell)
{
    Open(1);
    GoTo(FF);
    host.entriesAnswers.push_back(5u);
    Key(45);
    EXPECT_EQ(Line(1)[11], 5);
    EXPECT_EQ(CursorCell().text, "1+3");
    GoTo(XN);
    host.entryAnswers.push_back(1);
    Key(45);
    EXPECT_EQ(host.lastRequest.choices, "X||X|N||N|");
    EXPECT_EQ(Line(1)[6], 'N');
    host.entryAnswers.push_back(std::nullopt);
    GoTo(Wahl);
    TakeLog();
    Key(45);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TestListe, PlacementIsReadAndWritten)
{
    host.ini["T_Liste"] = "09999 00100 00400 00011 00";
    Open(100);
    EXPECT_EQ(host.place.left, 924);
    EXPECT_EQ(host.place.height, 400);
    host.place = {200, 150, 300};
    core->FormDeactivate();
    core->FormDestroy();
    EXPECT_EQ(host.ini["T_Liste"], "00200 00150 00300 00011 00");
}

// A window manager's drag takes the activation while it lasts, and may tell
// the window where it went only afterwards: the place the person dragged the
// window to stays when it comes back, with no request to move it, unless it
// lies beyond the bounds a window opens in; a window shown again opens where
// it was stored.
TEST_F(TestListe, ActivationKeepsThePlaceThePersonChose)
{
    struct Case {
        WindowPlace movedTo;
        bool hiddenBetween;
        WindowPlace after;
        bool moved;
        const char* stored;
    };
    const Case cases[] = {
        {{400, 322, 250}, false, {400, 322, 250}, false, "00400 00322 00250 00011 00"},
        {{0, 69, 180}, false, {0, 69, 180}, false, "00001 00069 00180 00011 00"},
        {{1000, 700, 250}, false, {924, 668, 250}, true, "00924 00668 00250 00011 00"},
        {{400, 322, 250}, true, {1, 122, 250}, true, "00001 00122 00250 00011 00"},
    };
    for (const Case& c : cases) {
        host.ini["T_Liste"] = "00001 00122 00250 00011 00";
        host.visible = true;
        Open(100);
        ASSERT_EQ(host.place.left, 1);
        core->FormDeactivate();
        if (c.hiddenBetween) {
            core->FormHide();
            host.visible = false;
            core->FormDeactivate();
            host.visible = true;
        }
        host.place = c.movedTo;
        host.moves = 0;
        core->FormActivate();
        EXPECT_EQ(host.place.left, c.after.left) << c.movedTo.left;
        EXPECT_EQ(host.place.top, c.after.top) << c.movedTo.left;
        EXPECT_EQ(host.place.height, c.after.height) << c.movedTo.left;
        EXPECT_EQ(host.moves > 0, c.moved) << c.movedTo.left;
        core->FormDeactivate();
        core->FormDestroy();
        EXPECT_EQ(host.ini["T_Liste"], c.stored) << c.movedTo.left;
    }
}

TEST_F(TestListe, SignLetterAfterwardsChain)
{
    // The kind-2 steps after each character are one else-if chain.
    struct Case {
        const char* start;  // the cell's text, typing state 2
        char32_t typed;
        const char* shown;
    };
    Open(1);
    GoTo(RL);
    for (const Case& c : {Case{"R5", 8, "0"}, Case{"R05", '7', "R57"}, Case{"", ' ', "0"},
                          Case{"L", 'r', "R0"}, Case{"R12", 255, "0"}, Case{"R1", ' ', "L1"},
                          Case{"R0", '3', "R3"}}) {
        core->OnEnter(1, core->Field(RL).column);
        core->Grid().At(1, core->Field(RL).column).text = c.start;
        core->CellEditor(U'x');  // typing state 2, nothing else: x is no letter of "RL"
        core->Grid().At(1, core->Field(RL).column).text = c.start;
        if (c.typed == 255)
            core->ClearCell();
        else
            core->CellEditor(c.typed);
        EXPECT_EQ(CursorCell().text, c.shown) << c.start << " + " << static_cast<int>(c.typed);
    }
}

TEST_F(TestListe, LockedCellsTakeNoInput)
{
    Open(1);
    core->LockFields(1, {Zahl, XN});
    EXPECT_TRUE(core->Grid().At(1, 3).readOnly);
    EXPECT_EQ(core->Grid().At(1, 3).text, "");
    EXPECT_EQ(core->Grid().At(1, 5).text, "");  // the letter cell of XN
    GoTo(Zahl);
    EXPECT_EQ(CursorCell().background, 0xe0e0e0u);
    Type("5");
    EXPECT_EQ(CursorCell().text, "");
    core->UnlockFields(1, {Zahl});
    EXPECT_FALSE(core->Grid().At(1, 3).readOnly);
}

// Two fields side by side: explicit neighbours set the edge bits of the
// field being defined, and a move tests the bit of the field it arrives at.
class TwoFields : public ListWindowCore {
public:
    explicit TwoFields(ListWindowHost& host) : ListWindowCore(host)
    {
        SetLineCount(20);
        ColumnDef column;
        column.width = 30;
        const int a = DefineColumn(column);
        const int b = DefineColumn(column);
        EditFieldDef def;
        def.field = a;
        def.digits = 3;
        def.maximum = 999;
        DefineEditField(def);
        def.field = b;
        def.up = a;
        def.upFlag = false;
        DefineEditField(def);
        FinishLayout(a, a, true);
    }

protected:
    void ShowLine(int, int, int) override {}
    std::optional<std::string> StoreCell(int, int, int32_t, const std::optional<std::string>&, int,
                                         int) override
    {
        return std::nullopt;
    }
};

TEST(ListWindowCore, ExplicitUpSetsTheDefinedFieldsBitAndMovesTestTheArrival)
{
    FakeListHost host;
    host.clientHeight = 300;
    TwoFields core(host);
    host.core = &core;
    core.FormActivate();
    EXPECT_EQ(core.Field(1).edgeBits, 3);
    EXPECT_EQ(core.Field(2).edgeBits, 2);
    EXPECT_EQ(core.Field(2).up, 1);
    core.GotoLine(5, 65535);
    core.HandleKey(39);
    ASSERT_EQ(core.Feld(), 2);
    core.HandleKey(38);
    // Arrived at field 1, whose bit 0 is set: the previous line.
    EXPECT_EQ(core.Feld(), 1);
    EXPECT_EQ(core.CursorLine(), 4);
}

TEST(ListPlacement, DamagedStringsCountAsNone)
{
    struct Case {
        const char* text;
        bool valid;
    };
    for (const Case& c : {Case{"00200 00150 00300 00011 00", true}, Case{"abc", false},
                          Case{"00200 00150 00000 00011 00", false},
                          Case{"00200 00150 00300 00011", false},
                          Case{"00200 00150 00300 00011 00 7", false},
                          Case{"00200 -0150 00300 00011 00", false}, Case{"", false}})
        EXPECT_EQ(ParseListPlacement(c.text).has_value(), c.valid) << c.text;
    EXPECT_EQ(FormatListPlacement({200, 150, 300, 11, 0}), "00200 00150 00300 00011 00");
}

TEST(SymbolFarben, RecordsAreFoundByTheirCharacterOnly)
{
    SetPatternSymbolColours();
    EXPECT_EQ(FindSymbolColours(SymbolFarben, 'V')->text, 0xffffffu);
    EXPECT_EQ(FindSymbolColours(SymbolFarben, 'V')->background, 0x000000u);
    EXPECT_EQ(FindSymbolColours(SymbolFarben, '+')->text, 0x000000u);
    EXPECT_EQ(FindSymbolColours(SymbolFarben, '+')->background, 0x00ffffu);
    for (unsigned char c : {'d', 'w', 'x', 'P'})
        EXPECT_FALSE(FindSymbolColours(SymbolFarben, c)) << c;
    EXPECT_EQ(SymbolFarben.size(), 32u * 7);
}
}  // namespace
