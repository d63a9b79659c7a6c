// The knitting scheme editor without a display: the system columns'
// mapping, the kind switches of colour and carrier cells, the letter fields'
// limits, the layout options and the linked editors.
#include <gtest/gtest.h>

#include <map>

#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "lists/core/list_links.h"
#include "lists/core/list_tools.h"
#include "lists/core/zliste_core.h"
#include "tests/lists/editor_driver.h"

namespace {
using Role = ZListeCore::Role;
constexpr int kInsert = 45, kDelete = 46, kNext = 34;
constexpr int kSide2Colour2 = 2, kCarrier = 10, kSide1Density = 17, kHV = 38, kTakeDown = 42, kFastRun = 43,
              kSpeed = 44;

// Model 312 (two systems), gauge 8, D limit 130, racking limit 20.
void SeedM(int lines)
{
    ProgrammKopf.SetModel("312");
    ProgrammKopf.SetGauge(8);
    put_u16(ProgrammKopf.data(), 6, 130);
    put_u16(ProgrammKopf.data(), 8, 20);
    ProgrammKopf.b[10] = ProgrammKopf.b[11] = 0;
    ProgrammKopf.b[26] = 2;
    for (int i = 1; i <= lines; ++i)
        ZListe->GetLine(static_cast<uint16_t>(i));
    RuestSchema.b[0] = 1;
}

uint8_t* ZLine(int i)
{
    return ZListe->GetLine(static_cast<uint16_t>(i));
}

struct Scheme : EditorDriver<ZListeCore> {
    explicit Scheme(int clientHeight = 600) : EditorDriver<ZListeCore>(clientHeight) {}
    void GoTo(int field) { Focus(field); }
    // Types into a field of the cursor's line and leaves it to the right.
    void Store(int field, const std::string& text)
    {
        GoTo(field);
        Type(text);
        Right();
    }
};

class SchemeTest : public ::testing::Test {
protected:
    void SetUp() override { SeedM(2); }
};

TEST_F(SchemeTest, FieldNumbersFollowTheColumnsAndTheCoursesAlternate)
{
    Scheme d;
    ZListeCore& z = *d.core;
    EXPECT_EQ(z.FelderAnzahl(), 48);
    EXPECT_EQ(z.Kommentar, 48);
    EXPECT_EQ(z.FieldAt(1, 2, Role::Colour, 32), kSide2Colour2);
    EXPECT_EQ(z.FieldAt(1, 0, Role::Carrier, 0), kCarrier);
    EXPECT_EQ(z.FieldAt(1, 1, Role::Density, 4), kSide1Density);
    EXPECT_EQ(z.FieldAt(1, 1, Role::Density, 8), 19);
    EXPECT_EQ(z.RoleOf(kHV).role, Role::Racking);
    EXPECT_EQ(z.RoleOf(kSpeed).role, Role::Speed);
    EXPECT_EQ(z.Slot(1, 1), 2);
    EXPECT_EQ(z.Slot(2, 1), 1);

    const std::vector<uint8_t> before2(ZLine(2), ZLine(2) + 640);
    std::vector<uint8_t> before1(ZLine(1), ZLine(1) + 640);
    d.Right();
    ASSERT_EQ(z.Feld(), kSide2Colour2);
    d.Key(' ', ' ');
    d.Right();
    EXPECT_EQ(d.FieldCell(kSide2Colour2, 1).text, "RR");
    EXPECT_EQ(Hex(ZLine(1), 196, 8), "0000000001000000");
    before1[200] = 1;
    EXPECT_EQ(std::vector<uint8_t>(ZLine(1), ZLine(1) + 640), before1);
    EXPECT_EQ(std::vector<uint8_t>(ZLine(2), ZLine(2) + 640), before2);
}

TEST_F(SchemeTest, CarrierNumbersDirectionsAndTheKnittedSystemsColours)
{
    put_u16(ZLine(1), 116, 7);
    put_u16(ZLine(2), 28, 9);
    Scheme d;
    EXPECT_EQ(d.FieldCell(kCarrier, 1).text, "P0007");
    EXPECT_EQ(d.FieldCell(kCarrier, 2).text, "P0009");
    const Cell& direction1 = d.core->Grid().At(1, 3);
    EXPECT_EQ(direction1.text, ">>>>");
    EXPECT_EQ(d.core->Grid().At(2, 3).text, "<<<<");

    std::map<std::string, int> jumps;
    GotoListWindow = [&](const std::string& form, int line, int) {
        jumps[form] = line;
        return true;
    };
    const uint32_t red = 0xff0000;
    for (int system : {0x0100, 0x0107, 0x0000})
        d.core->SetCellColour(1, system, red);
    ZListeCore& z = *d.core;
    for (int f = 1; f <= z.FelderAnzahl(); ++f)
        EXPECT_NE(d.FieldCell(f, 1).background, red) << f;
    // System 1 is column 2, which shows slot 1 on line 1.
    put_u16(ZLine(1), 28 + 8 + 4, 1);
    put_u16(ZLine(1), 28 + 8 + 6, 4);
    z.SetCellColour(1, 0x0101, red);
    for (int f = 1; f <= z.FelderAnzahl(); ++f) {
        const ZListeCore::FieldRole& r = z.RoleOf(f);
        const bool coloured = r.column == 2 && r.side != 2;
        EXPECT_EQ(d.FieldCell(f, 1).background == red, coloured) << f;
    }
    // The stitch density editor follows side 1 of slot 1: sub-list 4.
    EXPECT_EQ(jumps["F_Liste"], 4);
    GotoListWindow = nullptr;
}

TEST_F(SchemeTest, ColourCellsStepThroughTheLockListAndBack)
{
    Scheme d;
    d.Right();
    const char* const shown[] = {"RR", "Auto", "1:1", "2:1", "-1:1", "-2:1"};
    for (const char* text : shown) {
        d.Key(' ', ' ');
        EXPECT_EQ(d.Text(kSide2Colour2), text);
    }
    EXPECT_EQ(Hex(ZLine(1), 196, 8), "0000000006000000");
    d.Key(' ', ' ');
    EXPECT_EQ(d.Text(kSide2Colour2), "");
    EXPECT_TRUE(d.FieldCell(kSide2Colour2).symbolMode);
    EXPECT_EQ(Hex(ZLine(1), 196, 8), "0000000000000000");

    // The picker offers seven rows and never a net type.
    d.Key(' ', ' ');
    ASSERT_EQ(d.core->Field(kSide2Colour2).kind, 4);
    const EditField& f = d.core->Field(kSide2Colour2);
    const SelectionRows rows = BuildSelectionRows(f.characters, f.mask, 1);
    EXPECT_EQ(rows.texts.size(), 7u);
    for (const std::string& t : rows.texts)
        EXPECT_NE(t, "A1");

    // Delete on "RR" is the empty colour set again.
    d.Key(kDelete);
    d.Right();
    EXPECT_EQ(Hex(ZLine(1), 196, 8), "0000000000000000");

    // Stored net types show their code; a lock index past the list shows the
    // colour set and is cleaned by the line's next store.
    put_u32(ZLine(2), 28 + 48 + 32 + 4, 11);
    put_u32(ZLine(1), 28 + 88 + 48 + 16 + 4, 45);
    put_u32(ZLine(1), 28 + 88 + 48 + 16, 1);
    d.core->ShowPage();
    EXPECT_EQ(d.FieldCell(kSide2Colour2, 2).text, "A1");
    EXPECT_EQ(d.FieldCell(4, 1).text, "V");
    d.Key(36);
    d.Store(kSpeed, "5");
    EXPECT_EQ(get_u32(ZLine(1), 28 + 88 + 48 + 16 + 4), 0u);
}

TEST_F(SchemeTest, RackingKeepsToTheGaugesLimitWithin28)
{
    // A digit first gives the first letter, "L"; a letter then replaces it.
    struct Case {
        int limit;
        const char* typed;
        const char* bytes;
        const char* shown;
    };
    const Case cases[] = {
        {20, "5", "0000fb00", "L0005"},  {20, "21", "00007f00", ""},   {20, "20", "0000ec00", "L0020"},
        {20, "3V", "03000000", "V0003"}, {30, "29", "00007f00", ""},   {30, "28", "0000e400", "L0028"},
        {200, "29", "00007f00", ""},     {200, "28R", "00001c00", "R0028"},
    };
    for (const Case& c : cases) {
        CreateProgramModel();
        SeedM(2);
        put_u16(ProgrammKopf.data(), 8, static_cast<uint16_t>(c.limit));
        Scheme d;
        d.Store(kHV, c.typed);
        EXPECT_EQ(Hex(ZLine(1), 12, 4), c.bytes) << c.limit << " " << c.typed;
        EXPECT_EQ(d.FieldCell(kHV, 1).text, c.shown) << c.typed;
    }
    Scheme d;
    d.Store(kHV, "5");
    EXPECT_FALSE(d.FieldCell(kHV + 1, 1).readOnly);
    d.GoTo(kHV);
    d.Key(kDelete);
    d.Right();
    EXPECT_EQ(Hex(ZLine(1), 12, 4), "00007f00");
    EXPECT_TRUE(d.FieldCell(kHV + 1, 1).readOnly);
}

TEST_F(SchemeTest, SpeedAndTakeDownLimits)
{
    struct Case {
        int field;
        const char* typed;
        size_t at;
        const char* bytes;
    };
    // Typing a digit then a blank gives the blank letter.
    const Case cases[] = {
        {kSpeed, "1 01", 4, "00000000"}, {kSpeed, "1 00", 4, "01006400"}, {kSpeed, "2D55", 4, "0200ff00"},
        {kSpeed, "2D56", 4, "00000000"}, {kTakeDown, "1 01", 0, "00000000"}, {kTakeDown, "1 00", 0, "02006400"},
        {kTakeDown, "7", 0, "00000700"}, {kTakeDown, "100*", 0, "01000000"},
    };
    for (const Case& c : cases) {
        CreateProgramModel();
        SeedM(2);
        Scheme d;
        d.Store(c.field, c.typed);
        EXPECT_EQ(Hex(ZLine(1), c.at, 4), c.bytes) << c.field << " " << c.typed;
    }
    Scheme d;
    d.Store(kTakeDown, "7");
    // A blank in the fast-run cell leaves a take-down alone, X replaces it.
    d.host.entryAnswers.push_back(0);
    d.GoTo(kFastRun);
    d.Key(kInsert);
    EXPECT_EQ(Hex(ZLine(1), 0, 4), "00000700");
    d.Key(' ', ' ');
    EXPECT_EQ(Hex(ZLine(1), 0, 4), "01000000");
    EXPECT_EQ(d.FieldCell(kTakeDown, 1).text, "");
    d.Key(' ', ' ');
    EXPECT_EQ(Hex(ZLine(1), 0, 4), "00000000");
}

TEST_F(SchemeTest, CarrierSetsAndDensityLimit)
{
    Scheme d;
    d.GoTo(kCarrier);
    d.Key(kInsert);
    EXPECT_EQ(d.core->Field(kCarrier).kind, 5);
    d.host.entriesAnswers.push_back(0b101u);
    d.Key(kInsert);
    EXPECT_EQ(ZLine(1)[118], 5);
    EXPECT_EQ(get_u16(ZLine(1), 116), 0);
    EXPECT_EQ(d.Text(kCarrier), "13");
    d.Key(kDelete);
    EXPECT_EQ(d.Text(kCarrier), "0");
    d.Right();
    EXPECT_EQ(Hex(ZLine(1), 116, 3), "000000");
    EXPECT_EQ(d.FieldCell(kCarrier, 1).text, "");

    d.Store(kCarrier, "12");
    EXPECT_EQ(Hex(ZLine(1), 116, 3), "0c0000");
    EXPECT_EQ(d.FieldCell(kCarrier, 1).text, "P0012");

    d.Store(kSide1Density, "1D31");
    EXPECT_EQ(Hex(ZLine(1), 128, 4), "00000000");
    d.Store(kSide1Density, "1D30");
    EXPECT_EQ(Hex(ZLine(1), 128, 4), "03008200");
    EXPECT_EQ(d.FieldCell(kSide1Density, 1).text, "D0130");
}

TEST(SchemeLayout, CombRowsAndTheNumberOfSystems)
{
    struct Case {
        int systems, comb;
        int columns, carrierWidth;
        bool combCells;
    };
    const Case cases[] = {{2, 0, 2, 84, false}, {2, 1, 2, 64, true}, {9, 1, 6, 64, true}, {0, 0, 1, 84, false}};
    for (const Case& c : cases) {
        CreateProgramModel();
        SeedM(2);
        ProgrammKopf.b[26] = static_cast<uint8_t>(c.systems);
        ProgrammKopf.b[11] = static_cast<uint8_t>(c.comb);
        Scheme d;
        ZListeCore& z = *d.core;
        EXPECT_EQ(z.Systems(), c.columns);
        EXPECT_EQ(d.FieldCell(z.FieldAt(1, 0, Role::Carrier, 0), 1).width, c.carrierWidth);
        EXPECT_EQ(z.FieldAt(1, 0, Role::SystemChoice, 4) != 0, c.combCells);
        EXPECT_EQ(z.FieldAt(0, 0, Role::LineChoice, 27) != 0, c.combCells);
        // Every field of the last column stores inside the line.
        for (int f = 1; f <= z.FelderAnzahl(); ++f)
            if (z.RoleOf(f).column == c.columns && z.RoleOf(f).role == Role::Lock) {
                d.host.entryAnswers.push_back(2);
                d.GoTo(f);
                d.Key(kInsert);
            }
        EXPECT_EQ(ZListe->Count(), 2);
    }
}

TEST_F(SchemeTest, ShowingNeverGrowsTheListAndTheRackingEditorFollows)
{
    CreateProgramModel();
    SeedM(30);
    Scheme d(400);
    d.GoToLine(25);
    ASSERT_EQ(d.core->CursorLine(), 25);
    ZListe->SetCount(3);
    d.core->ShowPage();
    EXPECT_EQ(ZListe->Count(), 3);
    for (int i = 0; i < 4; ++i)
        d.Key(kNext);
    EXPECT_EQ(d.core->CursorLine(), 4);
    EXPECT_EQ(ZListe->Count(), 3);

    std::map<std::string, int> jumps;
    GotoListWindow = [&](const std::string& form, int line, int) {
        jumps[form] = line;
        return true;
    };
    put_u16(ZLine(3), 12, 5);
    ZLine(3)[14] = 0;
    ZLine(4);
    d.GoToLine(4);
    EXPECT_EQ(jumps["V_Liste"], 5);
    EXPECT_EQ(jumps["A_Liste"], 0);
    GotoListWindow = nullptr;
}
}  // namespace
