// Racking list (list 4): sign and amount of the racking, the course counted
// from 1 in the block, and the reading of a line never written.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/vlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;

namespace {

ProgramCommandBlock VBlock(uint16_t line, int8_t racking)
{
    ProgramCommandBlock b = Block(4, 1, line);
    b.SetU8(vblock::kRacking, static_cast<uint8_t>(racking));
    return b;
}

}  // namespace

TEST(VListAccess, NegativeRackingIsStoredAsDirectionAndAmount)
{
    ProgramCommandBlock w = VBlock(1, -5);
    w.SetU8(vblock::kSpeed, 100);
    EXPECT_EQ(accessVList(w, 1), 0);
    const uint8_t* line = VListe->GetLine(1);
    EXPECT_EQ(line[0], 1);
    EXPECT_EQ(line[1], 1);
    EXPECT_EQ(line[2], 5);

    ProgramCommandBlock r = Block(4, 0, 1);
    EXPECT_EQ(accessVList(r, 0), 0);
    EXPECT_EQ(static_cast<int8_t>(r.U8(vblock::kRacking)), -5);
}

TEST(VListAccess, AllFieldsRoundTrip)
{
    ProgramCommandBlock w = VBlock(2, 28);
    w.SetU8(vblock::kTransfer, 3);
    w.SetU8(vblock::kFlag, 1);
    w.SetU8(vblock::kCourse, 3);
    w.SetU8(vblock::kCorrectionLeft, static_cast<uint8_t>(-100));
    w.SetU8(vblock::kCorrectionRight, 100);
    w.SetU8(vblock::kStretch, 255);
    w.SetU8(vblock::kSpeed, 42);
    EXPECT_EQ(accessVList(w, 1), 0);
    const uint8_t* line = VListe->GetLine(2);
    const Bytes expected = {1, 0, 28, 2, 1, 3, 0x9C, 0xFF, 100, 0, 255, 0, 42};
    EXPECT_EQ(Bytes(line, line + 13), expected);

    ProgramCommandBlock r = Block(4, 0, 2);
    EXPECT_EQ(accessVList(r, 0), 0);
    for (size_t off = vblock::kRacking; off <= vblock::kSpeed; ++off)
        EXPECT_EQ(r.U8(off), w.U8(off)) << off;
}

TEST(VListAccess, CourseZeroIsTakenAsTheFirst)
{
    ProgramCommandBlock w = VBlock(1, 0);
    w.SetU8(vblock::kCourse, 0);
    EXPECT_EQ(accessVList(w, 1), 0);
    EXPECT_EQ(VListe->GetLine(1)[vline::kCourse], 0);
    ProgramCommandBlock r = Block(4, 0, 1);
    EXPECT_EQ(accessVList(r, 0), 0);
    EXPECT_EQ(r.U8(vblock::kCourse), 1);
}

TEST(VListAccess, AnUnwrittenLineReadsAsNoRacking)
{
    VListe->SetCount(3);
    VListe->GetLine(2)[vline::kAmount] = 9;  // not in use: ignored
    ProgramCommandBlock r = Block(4, 0, 2);
    for (size_t off = 9; off <= 16; ++off)
        r.SetU8(off, 0xEE);
    EXPECT_EQ(accessVList(r, 0), 0);
    EXPECT_EQ(r.U8(vblock::kRacking), 127);
    for (size_t off = 10; off <= 16; ++off)
        EXPECT_EQ(r.U8(off), 0) << off;
    EXPECT_EQ(r.U8(17), 0);
}

TEST(VListAccess, AnyFailingCheckLeavesTheLineUnchanged)
{
    struct Case {
        size_t off;
        int value;
        uint16_t code;
    };
    const Case cases[] = {
        {vblock::kRacking, 29, zerr::kVRackingStep},
        {vblock::kRacking, -29, zerr::kVRackingStep},
        {vblock::kRacking, 127, zerr::kVRackingStep},
        {vblock::kRacking, -128, zerr::kVRackingStep},
        {vblock::kCourse, 4, zerr::kVCourse},
        {vblock::kTransfer, 4, zerr::kVTransferRacking},
        {vblock::kCorrectionLeft, -101, zerr::kVCorrection},
        {vblock::kCorrectionRight, 101, zerr::kVCorrection},
        {vblock::kSpeed, 101, zerr::kVSpeed},
    };
    const Bytes before = LineBytes(*VListe, 1);
    for (const Case& c : cases) {
        ProgramCommandBlock b = VBlock(1, 3);
        b.SetU8(c.off, static_cast<uint8_t>(c.value));
        EXPECT_EQ(accessVList(b, 1), c.code) << c.off << " " << c.value;
        EXPECT_EQ(LineBytes(*VListe, 1), before);
    }
    ProgramCommandBlock b = VBlock(2000, 3);
    EXPECT_EQ(accessVList(b, 1), zerr::kBadListNumber);
}

TEST(VListAccess, ReInitialiseRestoresFullSpeed)
{
    ProgramCommandBlock w = VBlock(1, 4);
    w.SetU8(vblock::kSpeed, 10);
    ASSERT_EQ(accessVList(w, 1), 0);
    EXPECT_EQ(accessVList(w, 5), 0);
    const uint8_t* line = VListe->GetLine(1);
    EXPECT_EQ(line[vline::kInUse], 0);
    EXPECT_EQ(line[vline::kSpeed], 100);
}
