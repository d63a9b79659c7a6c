// Yarn-carrier position list (list 5): rail 0 stores only the list number;
// the other fields are stored one by one as they pass.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/plistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;

namespace {

ProgramCommandBlock PBlock(uint16_t line, uint16_t number, uint8_t rail, char box)
{
    ProgramCommandBlock b = Block(5, 1, line);
    b.SetU16(pblock::kListNumber, number);
    b.SetU8(pblock::kRail, rail);
    b.SetU8(pblock::kBox, static_cast<uint8_t>(box));
    b.SetU8(pblock::kSwingLeft, 2);
    b.SetU8(pblock::kSwingRight, 3);
    b.SetI16(pblock::kOffsetLeft, -9999);
    b.SetI16(pblock::kOffsetRight, 9999);
    b.SetText("*O", pblock::kColours, pblock::kColoursCap);
    return b;
}

}  // namespace

TEST(PListAccess, WriteStoresTheLineAndReadGivesItBack)
{
    ProgramCommandBlock w = PBlock(1, 3, 8, 'H');
    EXPECT_EQ(accessPList(w, 1), 0);
    const uint8_t* line = PListe->GetLine(1);
    const Bytes expected = {3, 0, 8, 8, 2, 3, 0, 0, 0x06, 0, 0, 0, 0xF1, 0xD8, 0x0F, 0x27};
    EXPECT_EQ(Bytes(line, line + 16), expected);

    ProgramCommandBlock r = Block(5, 0, 1);
    r.SetU8(pblock::kForce, 1);
    EXPECT_EQ(accessPList(r, 0), 0);
    EXPECT_EQ(r.U16(pblock::kListNumber), 3);
    EXPECT_EQ(r.U8(pblock::kRail), 8);
    EXPECT_EQ(r.U8(pblock::kBox), 'H');
    EXPECT_EQ(r.U8(pblock::kSwingLeft), 2);
    EXPECT_EQ(r.U8(pblock::kSwingRight), 3);
    EXPECT_EQ(r.I16(pblock::kOffsetLeft), -9999);
    EXPECT_EQ(r.I16(pblock::kOffsetRight), 9999);
    EXPECT_EQ(r.U8(pblock::kForce), 0);
    EXPECT_EQ(r.Text(pblock::kColours, pblock::kColoursCap), "O*");
}

TEST(PListAccess, BlankBoxAndUnsetOffsets)
{
    ProgramCommandBlock w = PBlock(1, 1, 1, ' ');
    w.SetU16(pblock::kOffsetLeft, kPOffsetUnset);
    w.SetU16(pblock::kOffsetRight, kPOffsetUnset);
    EXPECT_EQ(accessPList(w, 1), 0);
    EXPECT_EQ(PListe->GetLine(1)[pline::kBox], 0);
    EXPECT_EQ(get_u16(PListe->GetLine(1), pline::kOffsetLeft), kPOffsetUnset);
    ProgramCommandBlock r = Block(5, 0, 1);
    EXPECT_EQ(accessPList(r, 0), 0);
    EXPECT_EQ(r.U8(pblock::kBox), ' ');
    EXPECT_EQ(r.U16(pblock::kOffsetRight), kPOffsetUnset);
}

TEST(PListAccess, RailZeroStoresOnlyTheListNumber)
{
    ProgramCommandBlock w = PBlock(1, 1, 2, 'A');
    ASSERT_EQ(accessPList(w, 1), 0);
    const Bytes before = LineBytes(*PListe, 1);
    w = PBlock(1, 5, 0, 'Z');
    EXPECT_EQ(accessPList(w, 1), 0);
    EXPECT_EQ(Changed(before, LineBytes(*PListe, 1)), std::vector<size_t>{0});
    EXPECT_EQ(get_u16(PListe->GetLine(1), pline::kListNumber), 5);
}

TEST(PListAccess, ChecksStopAtTheFirstFailureKeepingEarlierFields)
{
    const Bytes fresh = LineBytes(*PListe, 1);

    ProgramCommandBlock b = PBlock(1, 2000, 1, 'A');
    EXPECT_EQ(accessPList(b, 1), zerr::kBadListNumber);
    EXPECT_EQ(LineBytes(*PListe, 1), fresh);

    b = PBlock(1, 4, 9, 'A');
    EXPECT_EQ(accessPList(b, 1), zerr::kPRail);
    EXPECT_EQ(Changed(fresh, LineBytes(*PListe, 1)), std::vector<size_t>{0});

    // The rail is stored before the box is looked at.
    b = PBlock(1, 4, 2, 'I');
    EXPECT_EQ(accessPList(b, 1), zerr::kPBox);
    EXPECT_EQ(Changed(fresh, LineBytes(*PListe, 1)), (std::vector<size_t>{0, 2}));

    // Box and colours before the left swing.
    b = PBlock(1, 4, 2, 'B');
    b.SetU8(pblock::kSwingLeft, 1);
    EXPECT_EQ(accessPList(b, 1), zerr::kPSwingLeft);
    EXPECT_EQ(Changed(fresh, LineBytes(*PListe, 1)), (std::vector<size_t>{0, 2, 3, 8}));

    b = PBlock(1, 4, 2, 'B');
    b.SetU8(pblock::kSwingRight, 4);
    EXPECT_EQ(accessPList(b, 1), zerr::kPSwingRight);
    EXPECT_EQ(PListe->GetLine(1)[pline::kSwingLeft], 2);
    EXPECT_EQ(PListe->GetLine(1)[pline::kSwingRight], 0);

    b = PBlock(1, 4, 2, 'B');
    b.SetI16(pblock::kOffsetLeft, -10000);
    EXPECT_EQ(accessPList(b, 1), zerr::kPOffsetLeft);
    EXPECT_EQ(PListe->GetLine(1)[pline::kSwingRight], 3);
    EXPECT_EQ(get_i16(PListe->GetLine(1), pline::kOffsetLeft), 0);

    b = PBlock(1, 4, 2, 'B');
    b.SetI16(pblock::kOffsetRight, 10000);
    EXPECT_EQ(accessPList(b, 1), zerr::kPOffsetRight);
    EXPECT_EQ(get_i16(PListe->GetLine(1), pline::kOffsetLeft), -9999);
    EXPECT_EQ(get_i16(PListe->GetLine(1), pline::kOffsetRight), 0);
}
