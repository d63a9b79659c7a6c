// Needle division list (list 6): all checks first; the first two repetition
// kinds are swapped between block and line.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/nlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;

namespace {

ProgramCommandBlock NBlock(uint16_t line, uint8_t repetitionKind, uint16_t count)
{
    ProgramCommandBlock b = Block(6, 1, line);
    b.SetU8(nblock::kKind, 1);
    b.SetU16(nblock::kStart, 9999);
    b.SetI16(nblock::kOffset, -9999);
    b.SetU8(nblock::kRepetitionKind, repetitionKind);
    b.SetU16(nblock::kRepetitionCount, count);
    return b;
}

}  // namespace

TEST(NListAccess, RepetitionKindZeroNeedsACount)
{
    const Bytes before = LineBytes(*NListe, 1);
    ProgramCommandBlock b = NBlock(1, 0, 0);
    EXPECT_EQ(accessNList(b, 1), zerr::kNRepetitionCount);
    EXPECT_EQ(LineBytes(*NListe, 1), before);

    b = NBlock(1, 0, 3);
    EXPECT_EQ(accessNList(b, 1), 0);
    const uint8_t* line = NListe->GetLine(1);
    const Bytes expected = {1, 0, 0x0F, 0x27, 0xF1, 0xD8, 1, 0, 3, 0};
    EXPECT_EQ(Bytes(line, line + 10), expected);

    // The other kinds allow a count of 0.
    b = NBlock(1, 2, 0);
    EXPECT_EQ(accessNList(b, 1), 0);
}

TEST(NListAccess, RepetitionKindsReadBackAsWritten)
{
    const uint8_t stored[] = {1, 0, 2, 3, 4};
    for (uint8_t kind = 0; kind <= 4; ++kind) {
        ProgramCommandBlock w = NBlock(2, kind, 7);
        ASSERT_EQ(accessNList(w, 1), 0);
        EXPECT_EQ(NListe->GetLine(2)[nline::kRepetitionKind], stored[kind]);
        ProgramCommandBlock r = Block(6, 0, 2);
        ASSERT_EQ(accessNList(r, 0), 0);
        EXPECT_EQ(r.U8(nblock::kRepetitionKind), kind);
        EXPECT_EQ(r.U8(nblock::kKind), 1);
        EXPECT_EQ(r.U16(nblock::kStart), 9999);
        EXPECT_EQ(r.I16(nblock::kOffset), -9999);
        EXPECT_EQ(r.U16(nblock::kRepetitionCount), 7);
    }
}

TEST(NListAccess, AnyFailingCheckLeavesTheLineUnchanged)
{
    ProgramCommandBlock good = NBlock(1, 2, 5);
    ASSERT_EQ(accessNList(good, 1), 0);
    const Bytes before = LineBytes(*NListe, 1);

    ProgramCommandBlock b = NBlock(1, 2, 5);
    b.SetU8(nblock::kKind, 2);
    EXPECT_EQ(accessNList(b, 1), zerr::kNKind);
    b = NBlock(1, 2, 5);
    b.SetU16(nblock::kStart, 10000);
    EXPECT_EQ(accessNList(b, 1), zerr::kNStart);
    b = NBlock(1, 2, 5);
    b.SetI16(nblock::kOffset, 10000);
    EXPECT_EQ(accessNList(b, 1), zerr::kNOffset);
    b = NBlock(1, 5, 5);
    EXPECT_EQ(accessNList(b, 1), zerr::kNRepetitionKind);
    b = NBlock(1, 2, 10000);
    EXPECT_EQ(accessNList(b, 1), zerr::kNRepetitionCount);
    EXPECT_EQ(LineBytes(*NListe, 1), before);

    b = NBlock(2000, 2, 5);
    EXPECT_EQ(accessNList(b, 1), zerr::kBadListNumber);
    EXPECT_EQ(NListe->Count(), 1);
}
