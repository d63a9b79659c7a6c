// Selector list (list 7): one value per selector level; selector 7 moves
// only the value of the current level.
#include <gtest/gtest.h>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/wlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"
#include "tests/kernel/listaccess/listaccess_testing.h"

using namespace listtest;

namespace {

ProgramCommandBlock EightValues(uint16_t line, std::initializer_list<int16_t> values)
{
    ProgramCommandBlock b = Block(7, 1, line);
    size_t off = wblock::kValues;
    for (int16_t v : values) {
        b.SetI16(off, v);
        off += 2;
    }
    return b;
}

}  // namespace

TEST(WListAccess, OneLevelWriteTouchesOnlyThatLevel)
{
    ProgramCommandBlock all = EightValues(1, {1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_EQ(accessWList(all, 1), 0);
    const Bytes before = LineBytes(*WListe, 1);

    ZrVar.Level = 3;
    ProgramCommandBlock one = Block(7, 1, 1, wblock::kOneLevel);
    one.SetI16(wblock::kValues, -9999);
    EXPECT_EQ(accessWList(one, 1), 0);
    EXPECT_EQ(Changed(before, LineBytes(*WListe, 1)), (std::vector<size_t>{4, 5}));
    EXPECT_EQ(get_i16(WListe->GetLine(1), 4), -9999);

    ProgramCommandBlock r = Block(7, 0, 1, wblock::kOneLevel);
    EXPECT_EQ(accessWList(r, 0), 0);
    EXPECT_EQ(r.I16(wblock::kValues), -9999);
    EXPECT_EQ(r.I16(wblock::kValues + 2), 0);  // only the one value travels

    one.SetI16(wblock::kValues, 10000);
    EXPECT_EQ(accessWList(one, 1), zerr::kBadValue);
    EXPECT_EQ(get_i16(WListe->GetLine(1), 4), -9999);
}

TEST(WListAccess, EightValueWriteStopsAtTheFirstBadValue)
{
    ProgramCommandBlock first = EightValues(2, {11, 12, 13, 14, 15, 16, 17, 18});
    ASSERT_EQ(accessWList(first, 1), 0);

    ProgramCommandBlock b = EightValues(2, {1, 2, 3, 4, 10000, 6, 7, 8});
    EXPECT_EQ(accessWList(b, 1), zerr::kBadValue);
    const uint8_t* line = WListe->GetLine(2);
    const int16_t expected[] = {1, 2, 3, 4, 15, 16, 17, 18};
    for (int level = 1; level <= 8; ++level)
        EXPECT_EQ(get_i16(line, wline::Value(level)), expected[level - 1]) << level;

    ProgramCommandBlock r = Block(7, 0, 2);
    EXPECT_EQ(accessWList(r, 0), 0);
    for (int level = 1; level <= 8; ++level)
        EXPECT_EQ(r.I16(wblock::kValues + 2 * size_t(level - 1)), expected[level - 1]);
}

// A level outside 1..8 is taken as level 1 and never addresses bytes in
// front of the line or the comment behind the values.
TEST(WListAccess, LevelOutsideOneToEightIsTakenAsOne)
{
    for (uint8_t level : {uint8_t(0), uint8_t(9), uint8_t(255)}) {
        WListe->SetCount(0);
        const Bytes before = LineBytes(*WListe, 1);
        ZrVar.Level = level;
        ProgramCommandBlock one = Block(7, 1, 1, wblock::kOneLevel);
        one.SetI16(wblock::kValues, 321);
        EXPECT_EQ(accessWList(one, 1), 0);
        EXPECT_EQ(Changed(before, LineBytes(*WListe, 1)), (std::vector<size_t>{0, 1})) << int(level);
        ProgramCommandBlock r = Block(7, 0, 1, wblock::kOneLevel);
        EXPECT_EQ(accessWList(r, 0), 0);
        EXPECT_EQ(r.I16(wblock::kValues), 321);
    }
}

TEST(WListAccess, LineRangeIsOneTo9999)
{
    ProgramCommandBlock b = EightValues(9999, {1});
    EXPECT_EQ(accessWList(b, 1), 0);
    EXPECT_EQ(WListe->Count(), 9999);
    b.SetLine(10000);
    EXPECT_EQ(accessWList(b, 1), zerr::kBadListNumber);
    b.SetLine(0);
    EXPECT_EQ(accessWList(b, 0), zerr::kBadListNumber);
}
