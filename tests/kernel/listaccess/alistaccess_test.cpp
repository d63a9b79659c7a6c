// Take-down list (list 3): all fields are checked before any is stored; a
// needle count of 10000 switches the relative take-down checks off.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/alistaccess.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;

namespace {

// A block every check passes.
ProgramCommandBlock GoodA(uint16_t line)
{
    ProgramCommandBlock b = Block(3, 1, line);
    b.SetU16(ablock::kListNumber, 12);
    b.SetU8(ablock::kLowerValue, 50);
    b.SetU8(ablock::kLowerOption, 7);
    b.SetU8(ablock::kUpperValue, 60);
    b.SetU8(ablock::kLowerPressure, 103);
    b.SetU8(ablock::kUpperPressure, 0);
    b.SetU8(ablock::kLowerPulse, static_cast<uint8_t>(-100));
    b.SetU16(ablock::kNeedleCount1, 400);
    b.SetU16(ablock::kNeedleCount2, 800);
    b.SetU8(ablock::kRelativeValue1, 10);
    b.SetU8(ablock::kRelativeValue2, 20);
    b.SetU8(ablock::kRelativePulse1, 30);
    b.SetU8(ablock::kRelativePulse2, 100);
    return b;
}

}  // namespace

TEST(AListAccess, WriteStoresTheLineAndReadGivesItBack)
{
    ProgramCommandBlock w = GoodA(2);
    EXPECT_EQ(accessAList(w, 1), 0);
    const uint8_t* line = AListe->GetLine(2);
    const Bytes expected = {12, 0, 50, 0x9C, 103, 7, 60, 0, 0x90, 0x01, 10, 30, 0x20, 0x03, 20, 100};
    EXPECT_EQ(Bytes(line, line + 16), expected);

    ProgramCommandBlock r = Block(3, 0, 2);
    EXPECT_EQ(accessAList(r, 0), 0);
    for (size_t off = 10; off <= 25; ++off)
        EXPECT_EQ(r.U8(off), w.U8(off)) << off;
}

TEST(AListAccess, ANewLineReadsAsUnsetAndWritesBackUnchanged)
{
    ProgramCommandBlock r = Block(3, 0, 1);
    EXPECT_EQ(accessAList(r, 0), 0);
    EXPECT_EQ(r.U16(ablock::kListNumber), 1);
    EXPECT_EQ(r.U8(ablock::kLowerValue), 101);
    EXPECT_EQ(r.U8(ablock::kLowerPulse), 101);
    EXPECT_EQ(r.U16(ablock::kNeedleCount1), 10000);
    EXPECT_EQ(r.U16(ablock::kNeedleCount2), 10000);

    const Bytes before = LineBytes(*AListe, 1);
    EXPECT_EQ(accessAList(r, 1), 0);
    EXPECT_EQ(LineBytes(*AListe, 1), before);
}

TEST(AListAccess, AnyFailingCheckLeavesTheLineUnchanged)
{
    struct Case {
        size_t off;
        int value;
        bool word;
        uint16_t code;
    };
    const Case cases[] = {
        {ablock::kLowerValue, 102, false, zerr::kALowerValue},
        {ablock::kLowerPulse, 102, false, zerr::kALowerPulse},
        {ablock::kLowerPulse, 256 - 101, false, zerr::kALowerPulse},
        {ablock::kLowerPressure, 104, false, zerr::kALowerPressure},
        {ablock::kUpperValue, 102, false, zerr::kAUpperValue},
        {ablock::kUpperPressure, 104, false, zerr::kAUpperPressure},
        {ablock::kNeedleCount1, 10001, true, zerr::kANeedleCount},
        {ablock::kRelativeValue1, 101, false, zerr::kARelativeValue},
        {ablock::kRelativePulse1, 101, false, zerr::kARelativePulse},
        {ablock::kNeedleCount2, 10001, true, zerr::kANeedleCount},
        {ablock::kRelativeValue2, 101, false, zerr::kARelativeValue},
        {ablock::kRelativePulse2, 101, false, zerr::kARelativePulse},
    };
    const Bytes before = LineBytes(*AListe, 1);
    for (const Case& c : cases) {
        ProgramCommandBlock b = GoodA(1);
        if (c.word)
            b.SetU16(c.off, static_cast<uint16_t>(c.value));
        else
            b.SetU8(c.off, static_cast<uint8_t>(c.value));
        EXPECT_EQ(accessAList(b, 1), c.code) << c.off;
        EXPECT_EQ(LineBytes(*AListe, 1), before) << c.off;
    }

    // Two failures: the first in line order is reported.
    ProgramCommandBlock b = GoodA(1);
    b.SetU8(ablock::kUpperValue, 200);
    b.SetU8(ablock::kLowerValue, 200);
    EXPECT_EQ(accessAList(b, 1), zerr::kALowerValue);
}

TEST(AListAccess, PulseUnsetPassesAndNeedleCount10000SkipsTheRelativeChecks)
{
    ProgramCommandBlock b = GoodA(1);
    b.SetU8(ablock::kLowerPulse, 127);
    EXPECT_EQ(accessAList(b, 1), 0);
    EXPECT_EQ(AListe->GetLine(1)[aline::kLowerPulse], 127);

    b = GoodA(1);
    b.SetU16(ablock::kNeedleCount1, 10000);
    b.SetU8(ablock::kRelativePulse1, 200);
    b.SetU16(ablock::kNeedleCount2, 20000);
    b.SetU8(ablock::kRelativePulse2, 0);
    EXPECT_EQ(accessAList(b, 1), 0);
    EXPECT_EQ(get_u16(AListe->GetLine(1), aline::kNeedleCount2), 20000);
    EXPECT_EQ(AListe->GetLine(1)[aline::kRelativePulse1], 200);

    // The second pulse is checked whenever its own needle count is in use.
    b.SetU8(ablock::kRelativePulse2, 101);
    EXPECT_EQ(accessAList(b, 1), zerr::kARelativePulse);
    b.SetU16(ablock::kNeedleCount2, 10000);
    EXPECT_EQ(accessAList(b, 1), 0);
}

TEST(AListAccess, LineRangeAndReInitialise)
{
    ProgramCommandBlock b = GoodA(2000);
    EXPECT_EQ(accessAList(b, 1), zerr::kBadListNumber);
    b.SetLine(0);
    EXPECT_EQ(accessAList(b, 0), zerr::kBadListNumber);
    EXPECT_EQ(AListe->Count(), 0);

    b = GoodA(1999);
    EXPECT_EQ(accessAList(b, 1), 0);
    EXPECT_EQ(AListe->Count(), 1999);
    EXPECT_EQ(accessAList(b, 5), 0);
    const uint8_t* line = AListe->GetLine(1999);
    EXPECT_EQ(line[aline::kLowerValue], 101);
    EXPECT_EQ(get_u16(line, aline::kNeedleCount1), 10000);
}
