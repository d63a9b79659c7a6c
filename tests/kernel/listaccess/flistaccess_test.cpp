// Stitch density list (list 2): field layout, write order with its partial
// writes, continuation lines inserted through list number 0, and the two
// dispatcher writes.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/alistaccess.h"
#include "kernel/listaccess/flistaccess.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/nlistaccess.h"
#include "kernel/listaccess/plistaccess.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/listaccess/vlistaccess.h"
#include "kernel/listaccess/wlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;

namespace {

ProgramCommandBlock FBlock(uint16_t line, uint16_t number, uint8_t leftMode, uint16_t leftValue, uint8_t rightMode,
                           uint16_t rightValue, const std::string& colours = "")
{
    ProgramCommandBlock b = Block(2, 1, line);
    b.SetU16(fblock::kListNumber, number);
    b.SetU8(fblock::kLeftMode, leftMode);
    b.SetU16(fblock::kLeftValue, leftValue);
    b.SetU8(fblock::kRightMode, rightMode);
    b.SetU16(fblock::kRightValue, rightValue);
    b.SetText(colours, fblock::kColours, fblock::kColoursCap);
    return b;
}

// Six lines, sub-lists 1..6, each with its own values and a mark in the comment.
void SixLines()
{
    for (uint16_t i = 1; i <= 6; ++i) {
        ProgramCommandBlock b = FBlock(i, i, 1, uint16_t(100 + i), 2, uint16_t(200 + i), "VO");
        ASSERT_EQ(accessFList(b, 1), 0);
        FListe->GetLine(i)[fline::kComment] = 1;
        FListe->GetLine(i)[fline::kComment + 1] = uint8_t('a' + i);
    }
    ASSERT_EQ(FListe->Count(), 6);
}

}  // namespace

TEST(FListAccess, WriteStoresEveryFieldAndReadsItBack)
{
    ProgramCommandBlock w = FBlock(3, 7, 1, 1234, 2, 9999, "O*V");
    EXPECT_EQ(accessFList(w, 1), 0);
    const uint8_t* line = FListe->GetLine(3);
    // Hand-checked bytes: number 7, mode 1, 1234 = 04D2, mode 2, 9999 = 270F,
    // colour set bits 0..2.
    const Bytes expected = {0x07, 0x00, 0x01, 0x00, 0xD2, 0x04, 0x02, 0x00, 0x0F, 0x27, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(line, line + 16), expected);

    ProgramCommandBlock r = Block(2, 0, 3);
    r.SetU8(fblock::kForce, 9);
    EXPECT_EQ(accessFList(r, 0), 0);
    EXPECT_EQ(r.U16(fblock::kListNumber), 7);
    EXPECT_EQ(r.U8(fblock::kLeftMode), 1);
    EXPECT_EQ(r.U16(fblock::kLeftValue), 1234);
    EXPECT_EQ(r.U8(fblock::kRightMode), 2);
    EXPECT_EQ(r.U16(fblock::kRightValue), 9999);
    EXPECT_EQ(r.U8(fblock::kForce), 0);
    EXPECT_EQ(r.Text(fblock::kColours, fblock::kColoursCap), "VO*");
}

TEST(FListAccess, LineFieldAndListNumberAreCheckedFirst)
{
    for (uint16_t line : {uint16_t(0), uint16_t(2000), uint16_t(65535)}) {
        ProgramCommandBlock b = FBlock(line, 1, 0, 5, 0, 5);
        EXPECT_EQ(accessFList(b, 1), zerr::kBadListNumber) << line;
        EXPECT_EQ(accessFList(b, 0), zerr::kBadListNumber) << line;
    }
    EXPECT_EQ(FListe->Count(), 0);

    ProgramCommandBlock b = FBlock(1, 2000, 0, 5, 0, 5);
    EXPECT_EQ(accessFList(b, 1), zerr::kBadListNumber);
    EXPECT_EQ(FListe->Count(), 0);
}

TEST(FListAccess, ChecksStopAtTheFirstFailureKeepingEarlierFields)
{
    const Bytes fresh = LineBytes(*FListe, 1);

    // Left mode out of range: only the list number is stored.
    ProgramCommandBlock b = FBlock(1, 4, 3, 5, 0, 5);
    EXPECT_EQ(accessFList(b, 1), zerr::kFLeftMode);
    EXPECT_EQ(Changed(fresh, LineBytes(*FListe, 1)), std::vector<size_t>{0});

    // Mode 1 needs a value of at least 1: the mode is stored, the value not.
    b = FBlock(1, 4, 1, 0, 0, 5, "V");
    EXPECT_EQ(accessFList(b, 1), zerr::kFLeftValue);
    EXPECT_EQ(FListe->GetLine(1)[fline::kLeftMode], 1);
    EXPECT_EQ(get_u16(FListe->GetLine(1), fline::kLeftValue), 0);
    EXPECT_EQ(get_u32(FListe->GetLine(1), fline::kColours), 0u);

    // Mode 0 allows 0..999.
    b = FBlock(1, 4, 0, 1000, 0, 5);
    EXPECT_EQ(accessFList(b, 1), zerr::kFLeftValue);
    EXPECT_EQ(FListe->GetLine(1)[fline::kLeftMode], 0);

    // Right mode 4: the left side is stored.
    b = FBlock(1, 4, 2, 9999, 4, 5, "V");
    EXPECT_EQ(accessFList(b, 1), zerr::kFRightMode);
    EXPECT_EQ(get_u16(FListe->GetLine(1), fline::kLeftValue), 9999);
    EXPECT_EQ(FListe->GetLine(1)[fline::kRightMode], 0);
    EXPECT_EQ(get_u32(FListe->GetLine(1), fline::kColours), 0u);

    // Right value out of range for mode 0: the right mode is stored, value and colours not.
    b = FBlock(1, 4, 2, 10, 1, 0, "V");
    EXPECT_EQ(accessFList(b, 1), zerr::kFRightValue);
    EXPECT_EQ(FListe->GetLine(1)[fline::kRightMode], 1);
    EXPECT_EQ(get_u16(FListe->GetLine(1), fline::kRightValue), 0);
    EXPECT_EQ(get_u32(FListe->GetLine(1), fline::kColours), 0u);
    b = FBlock(1, 4, 2, 10, 0, 1000);
    EXPECT_EQ(accessFList(b, 1), zerr::kFRightValue);
}

TEST(FListAccess, RightModeThreeIsStoredAsZeroWithItsValueUnchecked)
{
    ProgramCommandBlock b = FBlock(1, 1, 0, 10, 3, 50000, "N");
    EXPECT_EQ(accessFList(b, 1), 0);
    EXPECT_EQ(FListe->GetLine(1)[fline::kRightMode], 0);
    EXPECT_EQ(get_u16(FListe->GetLine(1), fline::kRightValue), 50000);
    EXPECT_EQ(get_u32(FListe->GetLine(1), fline::kColours), 0x80000000u);
}

TEST(FListAccess, AnEmptyBlockStoresOnlyTheListNumberUnlessForced)
{
    ProgramCommandBlock b = FBlock(1, 1, 1, 100, 1, 200, "V");
    ASSERT_EQ(accessFList(b, 1), 0);
    const Bytes before = LineBytes(*FListe, 1);

    b = FBlock(1, 9, 0, 0, 0, 0);
    EXPECT_EQ(accessFList(b, 1), 0);
    EXPECT_EQ(Changed(before, LineBytes(*FListe, 1)), std::vector<size_t>{0});
    EXPECT_EQ(get_u16(FListe->GetLine(1), fline::kListNumber), 9);

    // The flag at byte 20 makes the zeros count.
    b.SetU8(fblock::kForce, 1);
    EXPECT_EQ(accessFList(b, 1), 0);
    const uint8_t* line = FListe->GetLine(1);
    EXPECT_EQ(line[fline::kLeftMode], 0);
    EXPECT_EQ(get_u16(line, fline::kLeftValue), 0);
    EXPECT_EQ(get_u16(line, fline::kRightValue), 0);
    EXPECT_EQ(get_u32(line, fline::kColours), 0u);
}

TEST(FListAccess, ListNumberZeroInsertsAContinuationLine)
{
    SixLines();
    const Bytes oldLine4 = LineBytes(*FListe, 4);
    const Bytes oldLine6 = LineBytes(*FListe, 6);
    ProgramCommandBlock b = FBlock(4, 0, 1, 55, 0, 0);
    EXPECT_EQ(accessFList(b, 1), 0);
    EXPECT_EQ(FListe->Count(), 7);
    EXPECT_EQ(get_u16(FListe->GetLine(4), fline::kListNumber), 0);
    EXPECT_EQ(get_u16(FListe->GetLine(4), fline::kLeftValue), 55);
    EXPECT_EQ(LineBytes(*FListe, 5), oldLine4);
    EXPECT_EQ(LineBytes(*FListe, 7), oldLine6);
}

TEST(FListAccess, ReInitialiseAndOtherSubFunctions)
{
    SixLines();
    ProgramCommandBlock b = Block(2, 5, 3);
    EXPECT_EQ(accessFList(b, 5), 0);
    const uint8_t* line = FListe->GetLine(3);
    EXPECT_EQ(get_u16(line, 0), 3);  // numbered after the sub-list above
    for (size_t i = 2; i < kFLineSize; ++i)
        ASSERT_EQ(line[i], 0) << i;

    const Bytes before = LineBytes(*FListe, 4);
    for (uint8_t sub : {uint8_t(3), uint8_t(4), uint8_t(6), uint8_t(7), uint8_t(9)}) {
        ProgramCommandBlock o = FBlock(4, 0, 1, 1, 1, 1);
        EXPECT_EQ(accessFList(o, sub), 0);
    }
    EXPECT_EQ(LineBytes(*FListe, 4), before);
    EXPECT_EQ(FListe->Count(), 6);
}

// Through the dispatcher: sub-function 2 inserts in front of the old line
// and keeps it whole.
TEST(FListAccess, DispatcherWriteWithoutReInitialisationInserts)
{
    SixLines();
    const Bytes oldLine4 = LineBytes(*FListe, 4);
    ProgramCommandBlock b = FBlock(4, 0, 0, 0, 0, 0);
    b.SetSub(2);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(FListe->Count(), 7);
    EXPECT_EQ(get_u16(FListe->GetLine(4), fline::kListNumber), 0);
    EXPECT_EQ(LineBytes(*FListe, 5), oldLine4);

    ProgramCommandBlock count = Block(2, 8, 0);
    EXPECT_EQ(ProgramDispatch(count), 0);
    EXPECT_EQ(count.Line(), 7);
}

// Pinned: sub-function 1 re-initialises the addressed line before the
// handler inserts, so the old line's content is lost; the compiler's
// continuation lines rely on this.
TEST(FListAccess, DispatcherWriteWithReInitialisationLosesTheOldLine)
{
    SixLines();
    const Bytes oldLine5 = LineBytes(*FListe, 5);
    ProgramCommandBlock b = FBlock(4, 0, 0, 0, 0, 0);
    b.SetSub(1);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(FListe->Count(), 7);
    EXPECT_EQ(get_u16(FListe->GetLine(4), fline::kListNumber), 0);
    const uint8_t* line5 = FListe->GetLine(5);
    EXPECT_EQ(get_u16(line5, 0), 4);  // InitLine numbers it after sub-list 3
    for (size_t i = 2; i < kFLineSize; ++i)
        ASSERT_EQ(line5[i], 0) << i;
    EXPECT_EQ(LineBytes(*FListe, 6), oldLine5);
}

// Pinned: at Count + 1 the re-initialised line is pushed down and stays
// behind as a stray trailing line numbered last + 1.
TEST(FListAccess, DispatcherWriteAtTheEndLeavesAStrayTrailingLine)
{
    SixLines();
    ProgramCommandBlock b = FBlock(7, 0, 0, 0, 0, 0);
    b.SetSub(1);
    EXPECT_EQ(ProgramDispatch(b), 0);
    EXPECT_EQ(FListe->Count(), 8);
    EXPECT_EQ(get_u16(FListe->GetLine(7), fline::kListNumber), 0);
    EXPECT_EQ(get_u16(FListe->GetLine(8), fline::kListNumber), 7);

    // Without the re-initialisation no stray line appears.
    ProgramCommandBlock c = FBlock(9, 0, 0, 0, 0, 0);
    c.SetSub(2);
    EXPECT_EQ(ProgramDispatch(c), 0);
    EXPECT_EQ(FListe->Count(), 9);
    EXPECT_EQ(get_u16(FListe->GetLine(9), fline::kListNumber), 0);
}

// The comment offsets the handlers name agree with the list model's, and
// every layout fits its line.
TEST(FListAccess, LineLayoutsAgreeWithTheListModel)
{
    EXPECT_EQ(CommentOffset(2), int(fline::kComment));
    EXPECT_EQ(CommentOffset(3), int(aline::kComment));
    EXPECT_EQ(CommentOffset(4), int(vline::kComment));
    EXPECT_EQ(CommentOffset(5), int(pline::kComment));
    EXPECT_EQ(CommentOffset(6), int(nline::kComment));
    EXPECT_EQ(CommentOffset(7), int(wline::kComment));
    EXPECT_EQ(CommentOffset(9), int(sline::kComment));
    EXPECT_LE(fline::kComment + 81, kFLineSize);
    EXPECT_LE(aline::kComment + 81, kALineSize);
    EXPECT_LE(vline::kComment + 81, kVLineSize);
    EXPECT_LE(pline::kComment + 81, kPLineSize);
    EXPECT_LE(nline::kComment + 81, kNLineSize);
    EXPECT_LE(wline::kComment + 81, kWLineSize);
    EXPECT_LE(sline::kComment + 81, kSLineSize);
}
