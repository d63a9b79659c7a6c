// The needle room and yarn carrier editors and the set-up sheet without a
// display: what they show of the set-up record, what they store, and the
// sheet's model and gauge changes.
#include <gtest/gtest.h>

#include "kernel/dispatch/busystate.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/model/bytes.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"
#include "lists/core/ffliste_core.h"
#include "lists/core/nrliste_core.h"
#include "lists/core/list_tools.h"
#include "lists/core/rustliste_core.h"
#include "tests/lists/editor_driver.h"

namespace {
constexpr int kInsert = 45, kLeft = 37, kUp = 38;

uint8_t* Rs()
{
    return RuestSchema.data();
}

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgrammKopf.SetModel("312");
        ProgrammKopf.SetGauge(8);
        P_SetMaschinenDaten();
        Rs()[0] = 1;
    }
};

TEST_F(SetupTest, NeedleRoomPerLevel)
{
    EditorDriver<NrListeCore> d(400);
    EXPECT_EQ(d.core->Feld(), NrListeCore::Nadelraum);
    EXPECT_EQ(d.core->CursorLine(), 1);
    d.Right();
    d.Type("100");
    d.Right();
    d.Type("200");
    d.Enter();
    EXPECT_EQ(Hex(Rs(), 44, 2), "6400");
    EXPECT_EQ(Hex(Rs(), 172, 2), "c800");

    // Start 0 locks and zeroes the end.
    d.Key(36);
    d.GoTo(NrListeCore::Start);
    d.Type("0");
    d.Right();
    EXPECT_EQ(Hex(Rs(), 44, 2), "0000");
    EXPECT_EQ(Hex(Rs(), 172, 2), "0000");
    EXPECT_TRUE(d.FieldCell(NrListeCore::Ende, 1).readOnly);
    d.GoTo(NrListeCore::Start);
    d.Type("100");
    d.Right();
    d.Type("200");
    d.Right();

    // Copy line 1, paste on line 3.
    d.ShiftPress();
    d.ShiftUp();
    d.Key(kCmdCopy);
    d.GoTo(NrListeCore::Start);
    d.Down();
    d.Down();
    d.Key(kCmdPaste);
    EXPECT_EQ(Hex(Rs(), 76, 2), "6400");
    EXPECT_EQ(Hex(Rs(), 204, 2), "c800");

    // Down on the level cell shows level 2 and stops at 8.
    d.Key(36);
    d.GoTo(NrListeCore::Ebene);
    d.Down();
    EXPECT_EQ(d.core->ShownRecord(), 2);
    d.GoTo(NrListeCore::Start);
    d.Type("7");
    d.Right();
    EXPECT_EQ(get_u16(Rs(), 46), 7);
    d.GoTo(NrListeCore::Ebene);
    for (int i = 0; i < 10; ++i)
        d.Down();
    EXPECT_EQ(d.core->ShownRecord(), 8);
    EXPECT_EQ(d.FieldCell(NrListeCore::Ebene, 1).text, "8");

    // Showing a line without start zeroes its end.
    put_u16(Rs(), T_RuestSchema::RoomEnd(5, 8), 33);
    d.core->ShowPage();
    EXPECT_EQ(get_u16(Rs(), T_RuestSchema::RoomEnd(5, 8)), 0);
}

TEST_F(SetupTest, YarnCarriers)
{
    for (int k = 0; k < 8; ++k)
        for (int r = 1; r <= 8; ++r)
            for (int b = 0; b < 8; ++b) {
                put_i16(Rs(), T_RuestSchema::CarrierSet1(k, r, b), -32768);
                put_i16(Rs(), T_RuestSchema::CarrierSet2(k, r, b), -32768);
            }
    EditorDriver<FfListeCore> d(600);
    EXPECT_EQ(d.FieldCell(FfListeCore::Fadenfuehrer, 1).text, "8");
    EXPECT_EQ(d.FieldCell(FfListeCore::Fadenfuehrer, 6).text, "3");
    EXPECT_TRUE(d.FieldCell(FfListeCore::Typ(0), 6).readOnly);
    d.Type("3");
    d.Enter();
    EXPECT_EQ(d.core->CursorLine(), 6);
    d.Type("5");
    d.Right();
    d.Right();
    d.Type("50");
    d.Key(kLeft);
    d.Key(' ', ' ');
    EXPECT_EQ(Rs()[2478], 5);
    EXPECT_EQ(Hex(Rs(), 1484, 2), "3200");
    EXPECT_EQ(Rs()[332], 1);
    EXPECT_EQ(d.FieldCell(FfListeCore::Offset(0), 6).text, "+050");

    // The blank type empties the box at every level.
    put_i16(Rs(), T_RuestSchema::CarrierSet1(3, 3, 0), 9);
    d.Key(' ', ' ');
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(Hex(Rs(), 1484 + 128 * static_cast<size_t>(k), 2), "0080") << k;
    EXPECT_EQ(Rs()[332], 0);

    // Offsets need a sign; the level comes from set-up byte 0.
    d.GoTo(FfListeCore::Offset(0));
    d.Type("0+");
    d.Right();
    EXPECT_EQ(Hex(Rs(), 1484, 2), "0000");
    put_i16(Rs(), 1612, 17);
    put_i16(Rs(), 588, -12);
    struct Case {
        int level;
        const char* offset;
        const char* home;
    };
    for (const Case& c : {Case{2, "+017", "-0012"}, Case{0, "+000", ""}, Case{200, "+000", ""}}) {
        Rs()[0] = static_cast<uint8_t>(c.level);
        d.core->ShowPage();
        EXPECT_EQ(d.FieldCell(FfListeCore::Offset(0), 6).text, c.offset) << c.level;
        EXPECT_EQ(d.core->Grid().At(6, d.core->HomeColumn(0)).text, c.home) << c.level;
    }
    // A type byte other than 1 is a normal carrier.
    Rs()[332] = 7;
    d.core->ShowPage();
    EXPECT_EQ(d.FieldCell(FfListeCore::Typ(0), 6).text, "NFF 1");
}

struct RecordingHost : KernelHost {
    int closes = 0;
    void closeProgramWindows() override { ++closes; }
};

class SheetTest : public SetupTest {
protected:
    RecordingHost kernel;
    int headers = 0;
    void SetUp() override
    {
        SetupTest::SetUp();
        setKernelHost(&kernel);
    }
    void TearDown() override { setKernelHost(nullptr); }
    std::unique_ptr<EditorDriver<RustListeCore>> Open()
    {
        auto d = std::make_unique<EditorDriver<RustListeCore>>(600);
        d->core->HeaderChanged = [this] { ++headers; };
        return d;
    }
};

TEST_F(SheetTest, LevelRowsFollowTheLevel)
{
    Rs()[4] = 11, Rs()[5] = 22;
    put_u16(Rs(), 12, 100), put_u16(Rs(), 14, 200), put_u16(Rs(), 28, 300), put_u16(Rs(), 30, 400);
    auto d = Open();
    EXPECT_EQ(d->Text(RustListeCore::WA), "11");
    for (int i = 0; i < 3; ++i)
        d->Down();
    ASSERT_EQ(d->core->Feld(), RustListeCore::WE);
    d->Type("2");
    d->Enter();
    EXPECT_EQ(d->FieldCell(RustListeCore::WA, 1).text, "22");
    EXPECT_EQ(d->FieldCell(RustListeCore::SZ, 1).text, "0200");
    EXPECT_EQ(d->FieldCell(RustListeCore::LB, 1).text, "0400");
    d->Type("37");
    d->Enter();
    EXPECT_EQ(Rs()[0], 2);
    EXPECT_EQ(Rs()[5], 37);
    EXPECT_EQ(Rs()[4], 11);

    // 0 is no level; the distance is a byte.
    d->Focus(RustListeCore::WE);
    d->Type("0");
    d->Right();
    EXPECT_EQ(Rs()[0], 2);
    Rs()[2497] = 9;
    d->core->ShowPage();
    d->Focus(RustListeCore::FfAbstand);
    d->Type("300");
    d->Key(kUp);
    EXPECT_EQ(Rs()[2497], 9);
    d->Focus(RustListeCore::FfAbstand);
    d->Type("255");
    d->Key(kUp);
    EXPECT_EQ(Rs()[2497], 255);
}

TEST_F(SheetTest, GaugeAndCouplingOfACoupledModel)
{
    ProgrammKopf.SetModel("364");
    P_SetMaschinenDaten();
    ASSERT_EQ(ProgrammKopf.b[10], 1);
    auto d = Open();
    d->Down();
    d->Key(' ', ' ');
    EXPECT_EQ(ProgrammKopf.Gauge(), 10);
    EXPECT_EQ(get_u16(ProgrammKopf.data(), 6), 80);
    EXPECT_EQ(get_u16(ProgrammKopf.data(), 8), 25);
    EXPECT_EQ(get_u16(Rs(), 2490), 47);
    EXPECT_EQ(headers, 1);
    EXPECT_EQ(kernel.closes, 0);
    for (int i = 0; i < 12; ++i)
        d->Down();
    ASSERT_EQ(d->core->Feld(), RustListeCore::Kopplung);
    d->Key(' ', ' ');
    d->Key(' ', ' ');
    EXPECT_EQ(get_u16(Rs(), 2490), 49);
    for (int i = 0; i < 12; ++i)
        d->Key(kUp);
    d->host.entryAnswers.push_back(4);  // E10 again
    d->Key(kInsert);
    EXPECT_EQ(get_u16(Rs(), 2490), 49);
    EXPECT_EQ(headers, 1);

    // A gauge no entry names shows as it is and stays.
    ProgrammKopf.SetGauge(14);
    d->core->ShowPage();
    EXPECT_EQ(d->FieldCell(RustListeCore::Feinheit, 1).text, "E14");
    d->Down();
    d->Key(kUp);
    d->Down();
    EXPECT_EQ(ProgrammKopf.Gauge(), 14);
    // A blank steps from it to the first gauge, as from the last entry.
    d->Key(kUp);
    d->Key(' ', ' ');
    EXPECT_EQ(ProgrammKopf.Gauge(), 3);
}

TEST_F(SheetTest, ModelChangesCloseTheWindowsUnlessBusy)
{
    auto d = Open();
    EXPECT_EQ(d->FieldCell(RustListeCore::Maschine, 1).text, "ZR312");
    EXPECT_EQ(ChoiceEntryCount(d->core->Field(RustListeCore::Maschine).characters), 22);
    d->host.entryAnswers.push_back(1);  // 312 again
    d->Key(kInsert);
    EXPECT_EQ(kernel.closes, 0);
    {
        ProgramBusyScope busy;
        d->Key(' ', ' ');
        EXPECT_EQ(ProgrammKopf.Model(), "312");
        EXPECT_EQ(d->FieldCell(RustListeCore::Maschine, 1).text, "ZR312");
    }
    d->Key(' ', ' ');
    EXPECT_EQ(ProgrammKopf.Model(), "322");
    EXPECT_EQ(kernel.closes, 1);
    EXPECT_EQ(headers, 1);

    // A model the table lacks shows as it is; a gauge store that resets its
    // systems closes the windows too.
    ProgrammKopf.SetModel("999");
    ProgrammKopf.b[26] = 4;
    d->core->ShowPage();
    EXPECT_EQ(d->FieldCell(RustListeCore::Maschine, 1).text, "ZR999");
    d->Down();
    d->Key(' ', ' ');
    EXPECT_EQ(ProgrammKopf.b[26], 2);
    EXPECT_EQ(kernel.closes, 2);
}

TEST_F(SheetTest, OptionalRowsFollowTheHeader)
{
    ProgrammKopf.b[10] = 0;
    ProgrammKopf.b[11] = 0;
    put_u16(Rs(), 2490, 49);
    Rs()[2488] = Rs()[2489] = 1;
    auto d = Open();
    EXPECT_EQ(get_u16(Rs(), 2490), 0);
    EXPECT_EQ(Rs()[2488], 0);
    EXPECT_EQ(Rs()[2489], 0);
    EXPECT_TRUE(d->FieldCell(RustListeCore::Kopplung, 1).readOnly);
    EXPECT_EQ(d->FieldCell(RustListeCore::Kopplung, 1).text, "");
    EXPECT_TRUE(d->FieldCell(RustListeCore::Kamm, 1).readOnly);

    // A model in no coupling group keeps the choices it had.
    ProgrammKopf.b[10] = 1;
    ProgrammKopf.SetModel("856");
    d->core->ShowPage();
    const std::string group2 = d->core->Field(RustListeCore::Kopplung).characters;
    EXPECT_EQ(group2, RustListeCore::CouplingChoices("856"));
    ProgrammKopf.SetModel("312");
    put_u16(Rs(), 2490, 60);
    d->core->ShowPage();
    EXPECT_EQ(d->core->Field(RustListeCore::Kopplung).characters, group2);
    EXPECT_EQ(d->FieldCell(RustListeCore::Kopplung, 1).text, "60\"");
}
}  // namespace
