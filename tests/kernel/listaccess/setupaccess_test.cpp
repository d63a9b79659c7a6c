// Lists 10 and 12: the settings of the set-up record and the machine fields
// of the header, their checks, the resets, and the bounds that keep damaged
// levels and carrier numbers inside the record.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/setupaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;
using RS = T_RuestSchema;

namespace {

uint16_t Carriers(ProgramCommandBlock& b, uint8_t sub)
{
    return accessSetupList(b, sub, kCarrierList);
}
uint16_t Machine(ProgramCommandBlock& b, uint8_t sub)
{
    return accessSetupList(b, sub, kMachineList);
}

ProgramCommandBlock CarrierBlock(uint8_t rail, char box, char type, uint8_t attribute)
{
    ProgramCommandBlock b = Block(10, 1, 1, carriersel::kCarrier);
    b.SetU8(carrierblock::kRail, rail);
    b.SetU8(carrierblock::kBox, static_cast<uint8_t>(box));
    b.SetU8(carrierblock::kType, static_cast<uint8_t>(type));
    b.SetU8(carrierblock::kAttribute, attribute);
    for (int k = 0; k < 8; ++k)
        b.SetI16(carrierblock::kValues1 + 2 * size_t(k), static_cast<int16_t>(100 * k - 999 + k));
    return b;
}

// A record with every byte set, so that any write shows.
void FillRecord()
{
    for (size_t i = 0; i < RS::kSize; ++i)
        RuestSchema.data()[i] = static_cast<uint8_t>(i * 7 + 1);
}

}  // namespace

// ---------------------------------------------------------------------------
// List 10

TEST(SetupAccess, CarrierDistancesRoundTripWithTheirChecks)
{
    ProgramCommandBlock b = Block(10, 1, 1, carriersel::kFfMin);
    b.SetU16(10, 9999);
    EXPECT_EQ(Carriers(b, 1), 0);
    b = Block(10, 1, 1, carriersel::kFfMax);
    b.SetU16(10, 1);
    EXPECT_EQ(Carriers(b, 1), 0);
    b = Block(10, 1, 1, carriersel::kFfDis);
    b.SetU8(9, 255);
    EXPECT_EQ(Carriers(b, 1), 0);
    EXPECT_EQ(get_u16(RuestSchema.data(), RS::kFfMin), 9999);
    EXPECT_EQ(get_u16(RuestSchema.data(), RS::kFfMax), 1);
    EXPECT_EQ(RuestSchema.data()[RS::kFfDis], 255);

    const Bytes before = RecordBytes();
    for (uint16_t bad : {uint16_t(0), uint16_t(10000), uint16_t(0xFFFF)}) {
        b = Block(10, 1, 1, carriersel::kFfMin);
        b.SetU16(10, bad);
        EXPECT_EQ(Carriers(b, 1), zerr::kCarrierMinDistance);
        b.SetSelector(carriersel::kFfMax);
        EXPECT_EQ(Carriers(b, 1), zerr::kCarrierMaxDistance);
    }
    b = Block(10, 1, 1, carriersel::kFfDis);
    b.SetU8(9, 0);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierDistance);
    EXPECT_EQ(RecordBytes(), before);

    b = Block(10, 0, 1, carriersel::kFfMin);
    EXPECT_EQ(Carriers(b, 0), 0);
    EXPECT_EQ(b.U16(10), 9999);
    b.SetSelector(carriersel::kFfMax);
    EXPECT_EQ(Carriers(b, 0), 0);
    EXPECT_EQ(b.U16(10), 1);
    b.SetSelector(carriersel::kFfDis);
    EXPECT_EQ(Carriers(b, 0), 0);
    EXPECT_EQ(b.U8(9), 255);
}

TEST(SetupAccess, ExchangeMapWritesReadsAndBounds)
{
    ProgramCommandBlock b = Block(10, 1, 1, carriersel::kExchange);
    b.SetU8(9, 3);
    b.SetU8(10, 3);
    const Bytes before = RecordBytes();
    EXPECT_EQ(Carriers(b, 1), 0);
    EXPECT_EQ(RecordBytes(), before);

    b.SetU8(10, 8);
    EXPECT_EQ(Carriers(b, 1), 0);
    EXPECT_EQ(Changed(before, RecordBytes()), std::vector<size_t>{RS::Exchange(3)});
    EXPECT_EQ(RuestSchema.data()[2478], 8);

    const Bytes written = RecordBytes();
    b.SetU8(9, 9);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierNumber);
    b.SetU8(9, 2);
    b.SetU8(10, 0);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierNumber);
    EXPECT_EQ(RecordBytes(), written);

    ProgramCommandBlock r = Block(10, 0, 1, carriersel::kExchange);
    r.SetU8(9, 3);
    EXPECT_EQ(Carriers(r, 0), 0);
    EXPECT_EQ(r.U8(10), 8);
}

// A carrier outside 1..8 reads as no exchange instead of reading behind the map.
TEST(SetupAccess, ExchangeReadOfACarrierOutsideOneToEightGivesZero)
{
    FillRecord();
    for (uint8_t carrier : {uint8_t(0), uint8_t(9), uint8_t(105), uint8_t(200), uint8_t(255)}) {
        ProgramCommandBlock r = Block(10, 0, 1, carriersel::kExchange);
        r.SetU8(9, carrier);
        r.SetU8(10, 0xEE);
        EXPECT_EQ(Carriers(r, 0), 0);
        EXPECT_EQ(r.U8(10), 0) << int(carrier);
    }
    // The same through the dispatcher, whose derived line is clamped.
    ProgramCommandBlock d = Block(10, 0, 1, carriersel::kExchange);
    d.SetU8(9, 200);
    d.SetU8(10, 0xEE);
    EXPECT_EQ(ProgramDispatch(d), 0);
    EXPECT_EQ(d.U8(10), 0);
}

TEST(SetupAccess, CarrierWriteAndRead)
{
    ProgramCommandBlock w = CarrierBlock(2, 'C', 'I', 5);
    w.SetU16(carrierblock::kValues1 + 6, kCarrierValueUnset);
    EXPECT_EQ(Carriers(w, 1), 0);
    const uint8_t* rec = RuestSchema.data();
    // Rail 2, box C (index 2): type at 284 + 32 + 4, attribute behind it.
    EXPECT_EQ(rec[320], 1);
    EXPECT_EQ(rec[321], 5);
    EXPECT_EQ(get_i16(rec, 1436 + 32 + 4), -999);
    EXPECT_EQ(get_u16(rec, 1436 + 3 * 128 + 32 + 4), kCarrierValueUnset);
    EXPECT_EQ(get_i16(rec, 1436 + 7 * 128 + 32 + 4), 100 * 7 - 999 + 7);
    // The second value set is reported but not written.
    for (int k = 0; k < 8; ++k)
        put_i16(RuestSchema.data(), RS::CarrierSet2(k, 2, 2), static_cast<int16_t>(-k));

    ProgramCommandBlock r = Block(10, 0, 1, carriersel::kCarrier);
    r.SetU8(carrierblock::kRail, 2);
    r.SetU8(carrierblock::kBox, 'C');
    EXPECT_EQ(Carriers(r, 0), 0);
    EXPECT_EQ(r.Selector(), carriersel::kCarrier);
    EXPECT_EQ(r.U8(carrierblock::kType), 'I');
    // Pinned: the attribute reads as 2 for an intarsia carrier, not as stored.
    EXPECT_EQ(r.U8(carrierblock::kAttribute), 2);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(r.U16(carrierblock::kValues1 + 2 * size_t(k)), w.U16(carrierblock::kValues1 + 2 * size_t(k)));
        EXPECT_EQ(r.I16(carrierblock::kValues2 + 2 * size_t(k)), -k);
    }

    for (char type : {'N', ' '}) {
        w = CarrierBlock(2, 'C', type, 7);
        EXPECT_EQ(Carriers(w, 1), 0);
        EXPECT_EQ(RuestSchema.data()[320], 0);
        EXPECT_EQ(RuestSchema.data()[321], 7);
        EXPECT_EQ(Carriers(r, 0), 0);
        EXPECT_EQ(r.U8(carrierblock::kType), 'N');
        EXPECT_EQ(r.U8(carrierblock::kAttribute), 1);
    }
}

TEST(SetupAccess, ACarrierFailingAnyCheckIsNotWritten)
{
    FillRecord();
    const Bytes before = RecordBytes();
    ProgramCommandBlock b = CarrierBlock(1, 'A', 'I', 3);
    b.SetI16(carrierblock::kValues1 + 4, 1000);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierOffset);
    b.SetI16(carrierblock::kValues1 + 4, -1000);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierOffset);

    b = CarrierBlock(0, 'A', 'I', 3);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierNumber);
    b = CarrierBlock(9, 'A', 'I', 3);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierNumber);
    b = CarrierBlock(1, 'I', 'I', 3);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierNumber);
    b = CarrierBlock(1, '@', 'I', 3);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierNumber);
    b = CarrierBlock(1, 'A', 'I', 32);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierType);
    b = CarrierBlock(1, 'A', 'X', 3);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierType);
    // Check order: the values come before the type letter.
    b = CarrierBlock(1, 'A', 'X', 3);
    b.SetI16(carrierblock::kValues1, 1000);
    EXPECT_EQ(Carriers(b, 1), zerr::kCarrierOffset);
    EXPECT_EQ(RecordBytes(), before);
}

// A read of a carrier that does not exist reports it as not set and reads nothing.
TEST(SetupAccess, CarrierReadOutsideRailsAndBoxesReadsNothing)
{
    FillRecord();
    const std::pair<uint8_t, char> places[] = {{0, 'A'}, {9, 'A'}, {255, 'H'}, {1, '@'}, {1, 'I'}, {8, 'z'}};
    for (auto [rail, box] : places) {
        ProgramCommandBlock r = Block(10, 0, 1, carriersel::kCarrier);
        r.SetU8(carrierblock::kRail, rail);
        r.SetU8(carrierblock::kBox, static_cast<uint8_t>(box));
        const ProgramCommandBlock before = r;
        EXPECT_EQ(Carriers(r, 0), 0);
        EXPECT_EQ(r.Selector(), 0);
        r.SetSelector(carriersel::kCarrier);
        EXPECT_EQ(r.b, before.b) << int(rail) << box;
    }
}

TEST(SetupAccess, CommentIsTrimmedAndCapped)
{
    ProgramCommandBlock w = Block(10, 1, 1, carriersel::kComment);
    w.SetText("abc \t\r");
    EXPECT_EQ(Carriers(w, 1), 0);
    EXPECT_EQ(ReadShortString(RuestSchema.data(), RS::kComment, 80), "abc");
    EXPECT_EQ(RuestSchema.data()[RS::kComment], 3);

    w.SetText(std::string(100, 'x'));
    EXPECT_EQ(Carriers(w, 1), 0);
    EXPECT_EQ(RuestSchema.data()[RS::kComment], 80);

    // A damaged length byte reads no further than the field.
    RuestSchema.data()[RS::kComment] = 255;
    ProgramCommandBlock r = Block(10, 0, 1, carriersel::kComment);
    EXPECT_EQ(Carriers(r, 0), 0);
    EXPECT_EQ(r.U8(9), 80);
}

// Pinned: the reset gives FF MIN the work record's 5 and leaves the selector
// level at 0; clearing the list gives 4 and level 1.
TEST(SetupAccess, ResetAndClearGiveDifferentDefaults)
{
    FillRecord();
    ProgramCommandBlock b = Block(10, 5, 1);
    EXPECT_EQ(Carriers(b, 5), 0);
    const uint8_t* rec = RuestSchema.data();
    for (size_t i = 0; i < RS::kSize; ++i) {
        if (i == RS::kFfMin || i == RS::kFfMax || i == RS::kFfDis)
            continue;
        ASSERT_EQ(rec[i], 0) << i;
    }
    EXPECT_EQ(get_u16(rec, RS::kFfMin), 5);
    EXPECT_EQ(get_u16(rec, RS::kFfMax), 100);
    EXPECT_EQ(rec[RS::kFfDis], 2);

    ZrVar.FfMinDefault = 7;
    EXPECT_EQ(Carriers(b, 5), 0);
    EXPECT_EQ(get_u16(rec, RS::kFfMin), 7);

    EXPECT_EQ(ClearList(10), 0);
    EXPECT_EQ(rec[RS::kLevel], 1);
    EXPECT_EQ(get_u16(rec, RS::kFfMin), 4);
}

// Pinned: a write through dispatcher sub-function 1 resets the whole record first.
TEST(SetupAccess, CarrierWriteThroughTheDispatcherResetsTheRecordFirst)
{
    FillRecord();
    ProgramCommandBlock b = Block(10, 1, 0, carriersel::kFfDis);
    b.SetU8(9, 9);
    EXPECT_EQ(ProgramDispatch(b), 0);
    Bytes expected(RS::kSize, 0);
    put_u16(expected.data(), RS::kFfMin, 5);
    put_u16(expected.data(), RS::kFfMax, 100);
    expected[RS::kFfDis] = 9;
    EXPECT_EQ(RecordBytes(), expected);

    FillRecord();
    const Bytes before = RecordBytes();
    b.SetSub(2);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(Changed(before, RecordBytes()), std::vector<size_t>{RS::kFfDis});
}

// ---------------------------------------------------------------------------
// List 12

TEST(SetupAccess, PerLevelSettingsFollowTheSelectorLevel)
{
    ProgramCommandBlock level = Block(12, 1, 1, machinesel::kLevel);
    level.SetU8(9, 3);
    EXPECT_EQ(Machine(level, 1), 0);
    EXPECT_EQ(RuestSchema.data()[RS::kLevel], 3);
    EXPECT_EQ(ZrVar.Level, 3);

    const Bytes before = RecordBytes();
    ProgramCommandBlock b = Block(12, 1, 1, machinesel::kTakeDown);
    b.SetU8(9, 0xAB);
    EXPECT_EQ(Machine(b, 1), 0);
    b = Block(12, 1, 1, machinesel::kPieceCount);
    b.SetU16(10, 0x1234);
    EXPECT_EQ(Machine(b, 1), 0);
    b = Block(12, 1, 1, machinesel::kLengthLimit);
    b.SetU16(10, 0x0567);
    EXPECT_EQ(Machine(b, 1), 0);
    b = Block(12, 1, 2, machinesel::kNeedleRoom);
    b.SetU16(10, 0x0102);
    b.SetU16(12, 0x0304);
    EXPECT_EQ(Machine(b, 1), 0);
    EXPECT_EQ(Changed(before, RecordBytes()), (std::vector<size_t>{6, 16, 17, 32, 33, 64, 65, 192, 193}));

    ProgramCommandBlock r = Block(12, 0, 1, machinesel::kTakeDown);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U8(9), 0xAB);
    r.SetSelector(machinesel::kPieceCount);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U16(10), 0x1234);
    r.SetSelector(machinesel::kLengthLimit);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U16(10), 0x0567);
    r = Block(12, 0, 2, machinesel::kNeedleRoom);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U16(10), 0x0102);
    EXPECT_EQ(r.U16(12), 0x0304);
    r = Block(12, 0, 1, machinesel::kLevel);
    ZrVar.Level = 1;
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U8(9), 3);
    EXPECT_EQ(ZrVar.Level, 3);
}

TEST(SetupAccess, MachineSettingChecksLeaveEverythingUnchanged)
{
    FillRecord();
    RuestSchema.data()[RS::kLevel] = 2;
    const Bytes record = RecordBytes();
    const Bytes header = HeaderBytes();
    struct Case {
        uint8_t selector;
        size_t off;
        int value;
        bool word;
        uint16_t code;
    };
    const Case cases[] = {
        {machinesel::kNeedleRoom, 10, 10000, true, zerr::kNeedleRoomStart},
        {machinesel::kNeedleRoom, 12, 10000, true, zerr::kNeedleRoomEnd},
        {machinesel::kPieceCount, 10, 10000, true, zerr::kSetupPieceCount},
        {machinesel::kLengthLimit, 10, 10000, true, zerr::kSetupLengthLimit},
        {machinesel::kLevel, 9, 0, false, zerr::kSetupSelectorLevel},
        {machinesel::kLevel, 9, 9, false, zerr::kSetupSelectorLevel},
        {machinesel::kReversal, 9, 2, false, zerr::kSetupCarriageReversal},
        {machinesel::kCoupling, 10, 100, true, zerr::kBadValue},
        {machinesel::kGauge, 9, 9, false, zerr::kSetupGauge},
        {machinesel::kGauge, 9, 0, false, zerr::kSetupGauge},
    };
    for (const Case& c : cases) {
        ProgramCommandBlock b = Block(12, 1, 1, c.selector);
        if (c.word)
            b.SetU16(c.off, static_cast<uint16_t>(c.value));
        else
            b.SetU8(c.off, static_cast<uint8_t>(c.value));
        EXPECT_EQ(Machine(b, 1), c.code) << int(c.selector) << " " << c.value;
    }
    EXPECT_EQ(RecordBytes(), record);
    EXPECT_EQ(HeaderBytes(), header);
    EXPECT_EQ(ZrVar.Level, 1);

    ProgramCommandBlock b = Block(12, 1, 0, machinesel::kTakeDown);
    EXPECT_EQ(Machine(b, 1), zerr::kBadListNumber);
    b.SetLine(9);
    EXPECT_EQ(Machine(b, 0), zerr::kBadListNumber);
    EXPECT_EQ(Machine(b, 5), zerr::kBadListNumber);
    EXPECT_EQ(RecordBytes(), record);
}

TEST(SetupAccess, MachineSettingsRoundTrip)
{
    struct Case {
        uint8_t selector;
        size_t recordOff;
        uint8_t value;
    };
    const Case bytes[] = {
        {machinesel::kSpeed1, 1, 255},
        {machinesel::kSpeed1 + 1, 2, 17},
        {machinesel::kSpeed3, 3, 0x33},
        {machinesel::kReversal, RS::kStrokeReversal, 1},
    };
    for (const Case& c : bytes) {
        const Bytes before = RecordBytes();
        ProgramCommandBlock w = Block(12, 1, 1, c.selector);
        w.SetU8(9, c.value);
        EXPECT_EQ(Machine(w, 1), 0);
        EXPECT_EQ(Changed(before, RecordBytes()), std::vector<size_t>{c.recordOff}) << int(c.selector);
        ProgramCommandBlock r = Block(12, 0, 1, c.selector);
        EXPECT_EQ(Machine(r, 0), 0);
        EXPECT_EQ(r.U8(9), c.value);
    }

    ProgramCommandBlock w = Block(12, 1, 1, machinesel::kCoupling);
    w.SetU16(10, 99);
    EXPECT_EQ(Machine(w, 1), 0);
    EXPECT_EQ(get_u16(RuestSchema.data(), RS::kCoupling), 99);
    ProgramCommandBlock r = Block(12, 0, 1, machinesel::kCoupling);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U16(10), 99);

    w = Block(12, 1, 1, machinesel::kBackground);
    w.SetText("NV*");
    EXPECT_EQ(Machine(w, 1), 0);
    EXPECT_EQ(get_u32(RuestSchema.data(), RS::kBackground), 0x80000005u);
    r = Block(12, 0, 1, machinesel::kBackground);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.Text(9, 32), "V*N");

    w = Block(12, 1, 1, machinesel::kGauge);
    w.SetU8(9, 12);
    EXPECT_EQ(Machine(w, 1), 0);
    EXPECT_EQ(ProgrammKopf.Gauge(), 12);
    r = Block(12, 0, 1, machinesel::kGauge);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U8(9), 12);
}

TEST(SetupAccess, ModelIsCutToThreeCharacters)
{
    ProgramCommandBlock w = Block(12, 1, 1, machinesel::kModel);
    w.SetText("54321");
    EXPECT_EQ(Machine(w, 1), 0);
    EXPECT_EQ(ProgrammKopf.data()[0], 3);
    EXPECT_EQ(ProgrammKopf.Model(), "543");

    // A damaged length byte gives no more than the field's three characters.
    ProgrammKopf.data()[0] = 200;
    ProgramCommandBlock r = Block(12, 0, 1, machinesel::kModel);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.Text(9), "543");
}

TEST(SetupAccess, FlagSettings)
{
    for (auto [selector, off] : {std::pair<uint8_t, size_t>{machinesel::kComb, RS::kComb},
                                 std::pair<uint8_t, size_t>{machinesel::kClamp1, RS::kClamp1}}) {
        ProgramCommandBlock r = Block(12, 0, 1, selector);
        EXPECT_EQ(Machine(r, 0), 0);
        EXPECT_EQ(r.Selector(), 0);
        const Bytes before = RecordBytes();
        ProgramCommandBlock w = Block(12, 1, 1, selector);
        EXPECT_EQ(Machine(w, 1), 0);
        EXPECT_EQ(Changed(before, RecordBytes()), std::vector<size_t>{off});
        EXPECT_EQ(RuestSchema.data()[off], 1);
        r = Block(12, 0, 1, selector);
        EXPECT_EQ(Machine(r, 0), 0);
        EXPECT_EQ(r.Selector(), selector);
    }
}

TEST(SetupAccess, OtherSelectorsDoNothing)
{
    FillRecord();
    const Bytes record = RecordBytes();
    const Bytes header = HeaderBytes();
    for (int sel = 0; sel < 256; ++sel) {
        const bool listTen = sel >= 20 && sel <= 25;
        const bool listTwelve = sel == 12 || (sel >= 31 && sel <= 38) || (sel >= 40 && sel <= 45);
        ProgramCommandBlock b = Block(10, 1, 1, static_cast<uint8_t>(sel));
        b.SetU8(9, 1);
        if (!listTen) {
            EXPECT_EQ(Carriers(b, 1), 0);
            EXPECT_EQ(Carriers(b, 0), 0);
        }
        if (!listTwelve) {
            EXPECT_EQ(Machine(b, 1), 0);
            EXPECT_EQ(Machine(b, 0), 0);
        }
        // Sub-functions other than 0, 1 and 5 do nothing either.
        EXPECT_EQ(Carriers(b, 2), 0);
        EXPECT_EQ(Machine(b, 3), 0);
    }
    EXPECT_EQ(RecordBytes(), record);
    EXPECT_EQ(HeaderBytes(), header);
    ProgramCommandBlock b = Block(11, 1, 1, 20);
    EXPECT_EQ(accessSetupList(b, 1, 11), 0);
    EXPECT_EQ(RecordBytes(), record);
}

// After a list-10 reset the level byte is 0; the per-level settings then
// use level 1 and never land on the speeds in front of them.
TEST(SetupAccess, LevelZeroIsTakenAsOne)
{
    ProgramCommandBlock reset = Block(10, 5, 1);
    ASSERT_EQ(Carriers(reset, 5), 0);
    ASSERT_EQ(RuestSchema.data()[RS::kLevel], 0);

    const Bytes before = RecordBytes();
    ProgramCommandBlock b = Block(12, 1, 1, machinesel::kTakeDown);
    b.SetU8(9, 77);
    EXPECT_EQ(Machine(b, 1), 0);
    EXPECT_EQ(Changed(before, RecordBytes()), std::vector<size_t>{4});
    EXPECT_EQ(RuestSchema.data()[3], 0);

    // A damaged level above 8 likewise.
    RuestSchema.data()[RS::kLevel] = 200;
    b = Block(12, 1, 8, machinesel::kNeedleRoom);
    b.SetU16(10, 1);
    b.SetU16(12, 2);
    EXPECT_EQ(Machine(b, 1), 0);
    EXPECT_EQ(get_u16(RuestSchema.data(), RS::RoomStart(8, 1)), 1);
    EXPECT_EQ(get_u16(RuestSchema.data(), RS::RoomEnd(8, 1)), 2);

    // The level read reports the level used, and makes it current.
    ZrVar.Level = 5;
    RuestSchema.data()[RS::kLevel] = 0;
    ProgramCommandBlock r = Block(12, 0, 1, machinesel::kLevel);
    EXPECT_EQ(Machine(r, 0), 0);
    EXPECT_EQ(r.U8(9), 1);
    EXPECT_EQ(ZrVar.Level, 1);
    EXPECT_EQ(RuestSchema.data()[RS::kLevel], 0);  // the record keeps its byte
}

TEST(SetupAccess, MachineResetKeepsTheLevelAndSetsTheModelOnlyForLineOne)
{
    FillRecord();
    ProgrammKopf.SetModel("999");
    ProgrammKopf.SetGauge(3);
    ZrVar.Level = 4;
    const Bytes header = HeaderBytes();
    ProgramCommandBlock b = Block(12, 5, 2);
    EXPECT_EQ(Machine(b, 5), 0);
    EXPECT_EQ(HeaderBytes(), header);
    Bytes expected(RS::kSize, 0);
    expected[RS::kLevel] = 4;
    put_u16(expected.data(), RS::kFfMin, 5);
    put_u16(expected.data(), RS::kFfMax, 100);
    expected[RS::kFfDis] = 2;
    EXPECT_EQ(RecordBytes(), expected);

    b.SetLine(1);
    EXPECT_EQ(Machine(b, 5), 0);
    EXPECT_EQ(ProgrammKopf.Model(), ZrVar.DefaultModel);
    EXPECT_EQ(ProgrammKopf.Gauge(), 8);
}

// Through the dispatcher: sub-function 1 at level 1 resets the record and
// the machine model first; sub-function 2 changes only the setting.
TEST(SetupAccess, MachineWriteThroughTheDispatcher)
{
    FillRecord();
    RuestSchema.data()[RS::kLevel] = 1;
    ProgrammKopf.SetModel("999");
    ProgrammKopf.SetGauge(3);
    ASSERT_EQ(ZrVar.Level, 1);

    ProgramCommandBlock b = Block(12, 1, 1, machinesel::kSpeed1);
    b.SetU8(9, 40);
    EXPECT_EQ(ProgramDispatch(b), 0);
    Bytes expected(RS::kSize, 0);
    expected[RS::kLevel] = 1;
    expected[1] = 40;
    put_u16(expected.data(), RS::kFfMin, 5);
    put_u16(expected.data(), RS::kFfMax, 100);
    expected[RS::kFfDis] = 2;
    EXPECT_EQ(RecordBytes(), expected);
    EXPECT_EQ(ProgrammKopf.Model(), ZrVar.DefaultModel);
    EXPECT_EQ(ProgrammKopf.Gauge(), 8);

    FillRecord();
    RuestSchema.data()[RS::kLevel] = 1;
    ProgrammKopf.SetModel("999");
    const Bytes record = RecordBytes();
    const Bytes header = HeaderBytes();
    b.SetSub(2);
    b.SetU8(9, 41);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(Changed(record, RecordBytes()), std::vector<size_t>{1});
    EXPECT_EQ(HeaderBytes(), header);
}
