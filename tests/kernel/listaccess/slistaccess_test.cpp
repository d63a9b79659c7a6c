// Scheme sequence list (list 9): start address 0 writes nothing, kind 1
// holds the needle division at 0, and the needle division offset keeps its
// sign only with choice 0.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;

namespace {

ProgramCommandBlock SBlock(uint16_t line, uint8_t kind, uint16_t start)
{
    ProgramCommandBlock b = Block(9, 1, line);
    b.SetU8(sblock::kKind, kind);
    b.SetU16(sblock::kStart, start);
    b.SetI16(sblock::kOffset, -3);
    b.SetU8(sblock::kChoice, 1);
    b.SetU16(sblock::kRepetitions, 9999);
    b.SetU8(sblock::kNeedleChoice, 1);
    b.SetU16(sblock::kNeedleStart, 77);
    b.SetU8(sblock::kNeedleOffsetChoice, 0);
    b.SetI16(sblock::kNeedleOffset, 12);
    b.SetU16(sblock::kYStartFront, 1);
    b.SetI16(sblock::kYOffsetFront, -2);
    b.SetU16(sblock::kYStartBack, 3);
    b.SetI16(sblock::kYOffsetBack, -4);
    return b;
}

int16_t ReadNeedleOffset(uint16_t line, uint8_t* choice = nullptr)
{
    ProgramCommandBlock r = Block(9, 0, line);
    EXPECT_EQ(accessSList(r, 0), 0);
    if (choice)
        *choice = r.U8(sblock::kNeedleOffsetChoice);
    return r.I16(sblock::kNeedleOffset);
}

}  // namespace

TEST(SListAccess, NeedleDivisionOffsetKeepsItsSignOnlyWithChoiceZero)
{
    ProgramCommandBlock b = SBlock(1, 0, 5);
    b.SetU8(sblock::kNeedleOffsetChoice, 1);
    b.SetI16(sblock::kNeedleOffset, -20);
    EXPECT_EQ(accessSList(b, 1), 0);
    EXPECT_EQ(SListe->GetLine(1)[sline::kNeedleOffsetChoice], 2);
    EXPECT_EQ(get_u16(SListe->GetLine(1), sline::kNeedleOffset), 20);
    uint8_t choice = 9;
    EXPECT_EQ(ReadNeedleOffset(1, &choice), 20);
    EXPECT_EQ(choice, 1);

    b.SetU8(sblock::kNeedleOffsetChoice, 0);
    EXPECT_EQ(accessSList(b, 1), 0);
    EXPECT_EQ(SListe->GetLine(1)[sline::kNeedleOffsetChoice], 1);
    EXPECT_EQ(get_u16(SListe->GetLine(1), sline::kNeedleOffset), 20);
    EXPECT_EQ(ReadNeedleOffset(1, &choice), -20);
    EXPECT_EQ(choice, 0);
}

TEST(SListAccess, WriteStoresTheLineAndReadGivesItBack)
{
    ProgramCommandBlock w = SBlock(2, 0, 9999);
    EXPECT_EQ(accessSList(w, 1), 0);
    const uint8_t* line = SListe->GetLine(2);
    const Bytes expected = {0, 0, 0x0F, 0x27, 0xFD, 0xFF, 1, 0, 0x0F, 0x27, 1, 0, 77, 0,
                            0, 0, 12, 0,    1,    0,    0xFE, 0xFF, 3, 0, 0xFC, 0xFF};
    EXPECT_EQ(Bytes(line, line + 26), expected);

    ProgramCommandBlock r = Block(9, 0, 2);
    EXPECT_EQ(accessSList(r, 0), 0);
    for (size_t off = sblock::kKind; off <= sblock::kYOffsetBack + 1; ++off)
        EXPECT_EQ(r.U8(off), w.U8(off)) << off;
}

TEST(SListAccess, StartAddressZeroWritesNothing)
{
    ProgramCommandBlock w = SBlock(1, 0, 5);
    ASSERT_EQ(accessSList(w, 1), 0);
    const Bytes before = LineBytes(*SListe, 1);
    ProgramCommandBlock b = SBlock(1, 1, 0);
    EXPECT_EQ(accessSList(b, 1), 0);
    EXPECT_EQ(LineBytes(*SListe, 1), before);
    // The kind is checked all the same.
    b.SetU8(sblock::kKind, 2);
    EXPECT_EQ(accessSList(b, 1), zerr::kSKind);
    EXPECT_EQ(LineBytes(*SListe, 1), before);
}

TEST(SListAccess, KindOneHoldsTheNeedleDivisionAtZero)
{
    ProgramCommandBlock w = SBlock(1, 0, 5);
    w.SetI16(sblock::kNeedleOffset, -7);
    ASSERT_EQ(accessSList(w, 1), 0);
    ProgramCommandBlock b = SBlock(1, 1, 5);
    // Needle division fields out of range are not looked at for this kind.
    b.SetU8(sblock::kNeedleChoice, 9);
    b.SetI16(sblock::kNeedleOffset, -30000);
    EXPECT_EQ(accessSList(b, 1), 0);
    const uint8_t* line = SListe->GetLine(1);
    EXPECT_EQ(line[sline::kKind], 1);
    for (size_t off = sline::kNeedleChoice; off <= sline::kNeedleOffset + 1; ++off)
        EXPECT_EQ(line[off], 0) << off;
    EXPECT_EQ(get_i16(line, sline::kYOffsetBack), -4);
}

// Fields are stored as they pass: a failure keeps everything before it.
TEST(SListAccess, ChecksStopAtTheFirstFailureKeepingEarlierFields)
{
    struct Case {
        size_t off;
        int value;
        bool word;
        uint16_t code;
        size_t storedUpTo;  // line bytes before this offset are written
    };
    const Case cases[] = {
        {sblock::kStart, 10000, true, zerr::kSStartAddress, sline::kStart},
        {sblock::kOffset, -10000, true, zerr::kSOffset, sline::kOffset},
        {sblock::kChoice, 2, false, zerr::kSChoice, sline::kChoice},
        {sblock::kRepetitions, 10000, true, zerr::kSRepetitions, sline::kRepetitions},
        {sblock::kNeedleChoice, 2, false, zerr::kSNeedleChoice, sline::kNeedleChoice},
        {sblock::kNeedleStart, 10000, true, zerr::kSNeedleStart, sline::kNeedleStart},
        {sblock::kNeedleOffsetChoice, 2, false, zerr::kSNeedleOffsetChoice, sline::kNeedleOffsetChoice},
        {sblock::kNeedleOffset, 10000, true, zerr::kSNeedleOffset, sline::kNeedleOffset},
        {sblock::kYStartFront, 10000, true, zerr::kSYStartFront, sline::kYStartFront},
        {sblock::kYOffsetFront, 10000, true, zerr::kSYOffsetFront, sline::kYOffsetFront},
        {sblock::kYStartBack, 10000, true, zerr::kSYStartBack, sline::kYStartBack},
        {sblock::kYOffsetBack, -10000, true, zerr::kSYOffsetBack, sline::kYOffsetBack},
    };
    ProgramCommandBlock good = SBlock(1, 0, 5);
    ASSERT_EQ(accessSList(good, 1), 0);
    const Bytes full = LineBytes(*SListe, 1);
    for (const Case& c : cases) {
        SListe->SetCount(0);
        const Bytes fresh = LineBytes(*SListe, 1);
        ProgramCommandBlock b = SBlock(1, 0, 5);
        if (c.word)
            b.SetU16(c.off, static_cast<uint16_t>(c.value));
        else
            b.SetU8(c.off, static_cast<uint8_t>(c.value));
        EXPECT_EQ(accessSList(b, 1), c.code) << c.off;
        const Bytes after = LineBytes(*SListe, 1);
        for (size_t i = 0; i < sline::kComment; ++i) {
            if (i < c.storedUpTo)
                EXPECT_EQ(after[i], full[i]) << c.off << " byte " << i;
            else
                EXPECT_EQ(after[i], fresh[i]) << c.off << " byte " << i;
        }
    }
}

// The packed choice byte is stored before the offset is checked.
TEST(SListAccess, ABadNeedleDivisionOffsetKeepsTheChoiceByte)
{
    ProgramCommandBlock b = SBlock(1, 0, 5);
    b.SetU8(sblock::kNeedleOffsetChoice, 1);
    b.SetI16(sblock::kNeedleOffset, -10000);
    EXPECT_EQ(accessSList(b, 1), zerr::kSNeedleOffset);
    const uint8_t* line = SListe->GetLine(1);
    EXPECT_EQ(line[sline::kNeedleOffsetChoice], 2);
    EXPECT_EQ(get_u16(line, sline::kNeedleOffset), 0);
    EXPECT_EQ(get_u16(line, sline::kYStartFront), 0);
}

TEST(SListAccess, LineRangeIsOneTo9999)
{
    ProgramCommandBlock b = SBlock(10000, 0, 5);
    EXPECT_EQ(accessSList(b, 1), zerr::kBadListNumber);
    b.SetLine(9999);
    EXPECT_EQ(accessSList(b, 1), 0);
    EXPECT_EQ(accessSList(b, 5), 0);
    EXPECT_EQ(get_u16(SListe->GetLine(9999), sline::kStart), 0);
}
