// The machine lists: defaults of new lines, growth, index-list numbering,
// insert and delete.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"

namespace {
std::string Hex(const uint8_t* p, size_t n)
{
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

bool AllZeroExcept(const uint8_t* p, size_t n, std::initializer_list<size_t> skip)
{
    for (size_t i = 0; i < n; ++i) {
        if (std::find(skip.begin(), skip.end(), i) == skip.end() && p[i] != 0)
            return false;
    }
    return true;
}

// Marks line i of a list with a letter in its last byte (away from the
// list number and the defaults).
void Mark(T_ListenVar& list, uint16_t i, uint8_t letter)
{
    list.GetLine(i)[list.LineSize() - 1] = letter;
}
// The spare line's bytes, to see whether a shift touches them.
uint8_t* SpareLine(T_ListenVar& list)
{
    return const_cast<uint8_t*>(list.ExistingLine(0));
}
std::string Marks(T_ListenVar& list)
{
    std::string s;
    for (uint16_t i = 1; i <= list.Count(); ++i)
        s += static_cast<char>(list.GetLine(i)[list.LineSize() - 1]);
    return s;
}
}  // namespace

TEST(ListModel, NewLinesCarryTheirListsDefaults)
{
    const uint8_t* z = ZListe->GetLine(0);
    EXPECT_EQ(ZListe->Count(), 1);
    EXPECT_EQ(z, ZListe->PeekLine(1));
    EXPECT_EQ(z[14], 0x7f);
    EXPECT_EQ(z[18], 0x7f);
    EXPECT_TRUE(AllZeroExcept(z, 640, {14, 18}));
    ASSERT_NE(ZListe->ExistingLine(0), nullptr);  // the spare line came with it

    const uint8_t* a = AListe->GetLine(1);
    EXPECT_EQ(Hex(a, 14), "0100656565006565102700001027");
    EXPECT_TRUE(AllZeroExcept(a, 98, {0, 2, 3, 4, 6, 7, 8, 9, 12, 13}));

    EXPECT_EQ(VListe->GetLine(1)[12], 100);
    EXPECT_TRUE(AllZeroExcept(VListe->GetLine(1), 94, {12}));

    // Shrinking and growing again gives fresh lines, not the old bytes.
    ZListe->GetLine(3)[100] = 0x55;
    ZListe->SetCount(1);
    EXPECT_EQ(ZListe->GetLine(3)[100], 0);
}

TEST(ListModel, ListNumbersAndSizes)
{
    const std::pair<int, int> sizes[] = {{1, 640}, {2, 100}, {3, 98}, {4, 94}, {5, 100}, {6, 92}, {7, 98}, {9, 108}};
    for (auto [number, size] : sizes) {
        ASSERT_NE(ListByNumber(number), nullptr) << number;
        EXPECT_EQ(ListByNumber(number)->LineSize(), size) << number;
        EXPECT_EQ(ListByNumber(number)->MaxLines(), 20000) << number;
    }
    EXPECT_EQ(ListByNumber(8), nullptr);
    EXPECT_EQ(ListByNumber(11), nullptr);
    EXPECT_EQ(CommentOffset(1), 556);
    EXPECT_EQ(CommentOffset(4), 13);
    EXPECT_EQ(CommentOffset(9), 26);
    EXPECT_EQ(CommentOffset(8), -1);
}

TEST(ListModel, GrowthClipsAtMaxLinesAndKeepsAddresses)
{
    uint8_t* first = FListe->GetLine(1);
    EXPECT_EQ(Hex(FListe->GetLine(25000), 2), "204e");
    EXPECT_EQ(FListe->Count(), 20000);
    EXPECT_EQ(FListe->GetLine(1), first);
    EXPECT_EQ(FListe->ListNumber(2), 2);  // each new line opens a sub-list
}

TEST(ListModel, IndexListNumbering)
{
    EXPECT_EQ(FListe->NextListNumber(1), 1);
    EXPECT_EQ(FListe->NextListNumber(0), 1);

    // Lines numbered 3, 0, 0: the next sub-list is 4.
    PListe->GetLine(3);
    put_u16(PListe->GetLine(1), 0, 3);
    put_u16(PListe->GetLine(2), 0, 0);
    put_u16(PListe->GetLine(3), 0, 0);
    EXPECT_EQ(PListe->NextListNumber(4), 4);
    EXPECT_EQ(get_u16(PListe->GetLine(4), 0), 4);
    EXPECT_EQ(PListe->NextListNumber(1), 1);

    // A sub-list that isn't there yet is appended.
    EXPECT_EQ(PListe->FindLineByNumber(4), 4);
    EXPECT_EQ(PListe->FindLineByNumber(6), 6);
    EXPECT_EQ(PListe->Count(), 6);
    EXPECT_EQ(PListe->ListNumber(6), 6);
}

TEST(ListModel, FindLineByNumberEndsAtMaxLines)
{
    EXPECT_EQ(FListe->FindLineByNumber(25000), 0);

    // A full list whose only sub-list is number 1: sub-list 2 cannot fit.
    FListe->GetLine(20000);
    for (uint16_t i = 2; i <= 20000; ++i)
        put_u16(FListe->GetLine(i), 0, 0);
    EXPECT_EQ(FListe->FindLineByNumber(2), 0);
    EXPECT_EQ(FListe->Count(), 20000);
    EXPECT_EQ(FListe->FindLineByNumber(1), 1);
}

TEST(ListModel, InsertLine)
{
    for (uint16_t i = 1; i <= 3; ++i)
        Mark(*ZListe, i, static_cast<uint8_t>('A' + i - 1));
    ZListe->InsertLine(5);  // beyond the end: grows, moves nothing
    EXPECT_EQ(ZListe->Count(), 5);
    EXPECT_EQ(Marks(*ZListe), std::string("ABC\0\0", 5));
    EXPECT_EQ(ZListe->GetLine(5)[14], 0x7f);

    ZListe->SetCount(3);
    ZListe->InsertLine(2);
    EXPECT_EQ(Marks(*ZListe), std::string("A\0BC", 4));
    EXPECT_EQ(ZListe->GetLine(2)[18], 0x7f);

    // Line 0 is the spare line and never moves: 0 inserts at 1.
    SpareLine(*ZListe)[639] = 'S';
    ZListe->InsertLine(0);
    EXPECT_EQ(Marks(*ZListe), std::string("\0A\0BC", 5));
    EXPECT_EQ(ZListe->ExistingLine(0)[639], 'S');
}

TEST(ListModel, InsertOnAFullListDropsTheLastLine)
{
    ZListe->GetLine(20000);
    Mark(*ZListe, 19999, 'Y');
    Mark(*ZListe, 20000, 'Z');
    ZListe->InsertLine(1);
    EXPECT_EQ(ZListe->Count(), 20000);
    EXPECT_EQ(ZListe->GetLine(20000)[639], 'Y');
}

TEST(ListModel, DeleteLine)
{
    for (uint16_t i = 1; i <= 3; ++i)
        Mark(*WListe, i, static_cast<uint8_t>('A' + i - 1));
    WListe->DeleteLine(4);
    EXPECT_EQ(Marks(*WListe), "ABC");
    WListe->DeleteLine(2);
    EXPECT_EQ(Marks(*WListe), "AC");
    SpareLine(*WListe)[97] = 'S';
    WListe->DeleteLine(0);
    EXPECT_EQ(Marks(*WListe), "C");
    EXPECT_EQ(WListe->ExistingLine(0)[97], 'S');
    WListe->DeleteLine(1);
    EXPECT_EQ(WListe->Count(), 0);
    WListe->DeleteLine(1);
    EXPECT_EQ(WListe->Count(), 0);
}

TEST(ListModel, CreateAndFreeReplaceTheGlobals)
{
    ZListe->GetLine(10);
    FreeProgramModel();
    EXPECT_EQ(ZListe, nullptr);
    EXPECT_EQ(AListe, nullptr);
    CreateProgramModel();
    ASSERT_NE(ZListe, nullptr);
    EXPECT_EQ(ZListe->Count(), 0);
    EXPECT_EQ(ZListe->ExistingLine(0), nullptr);
}

TEST(ListModel, PeekLineReadsMissingLinesAsDefaultsWithoutGrowing)
{
    Mark(*ZListe, 2, 'Z');
    const uint8_t* z = ZListe->PeekLine(7);
    EXPECT_EQ(z[14], 0x7f);
    EXPECT_EQ(z[18], 0x7f);
    EXPECT_TRUE(AllZeroExcept(z, 640, {14, 18}));
    EXPECT_EQ(ZListe->PeekLine(2)[639], 'Z');
    EXPECT_EQ(ZListe->PeekLine(2), ZListe->ExistingLine(2));
    EXPECT_EQ(ZListe->PeekLine(0)[639], 0);  // not the spare line
    EXPECT_EQ(ZListe->Count(), 2);

    EXPECT_EQ(VListe->PeekLine(9)[12], 100);
    EXPECT_EQ(VListe->PeekLine(9)[0], 0);  // not in use
    EXPECT_EQ(VListe->Count(), 0);
    EXPECT_TRUE(AllZeroExcept(WListe->PeekLine(9999), 98, {}));
    EXPECT_EQ(WListe->Count(), 0);

    // A missing line of an index list carries the number InitLine would give.
    AListe->GetLine(1);
    AListe->GetLine(2);
    put_u16(AListe->GetLine(2), 0, 0);  // continuation of sub-list 1
    EXPECT_EQ(Hex(AListe->PeekLine(5), 14), "0200656565006565102700001027");
    EXPECT_EQ(AListe->Count(), 2);
}

TEST(ListModel, PeekSubListFindsTheFirstLineNumberedAtLeastN)
{
    FListe->GetLine(3);  // sub-lists 1, 2, 3
    put_u16(FListe->GetLine(2), 0, 0);
    put_u16(FListe->GetLine(3), 0, 5);
    Mark(*FListe, 3, 'F');
    EXPECT_EQ(FListe->FindSubList(1), 1);
    EXPECT_EQ(FListe->FindSubList(2), 3);  // the next sub-list, as FindLineByNumber finds it
    EXPECT_EQ(FListe->PeekSubList(3)[99], 'F');
    EXPECT_EQ(FListe->FindSubList(5), 3);
    // Numbers need not follow the lines: sub-list 9 on line 1 is found.
    put_u16(FListe->GetLine(1), 0, 9);
    put_u16(FListe->GetLine(3), 0, 12);
    EXPECT_EQ(FListe->FindSubList(9), 1);
    EXPECT_EQ(FListe->FindSubList(10), 3);
    put_u16(FListe->GetLine(1), 0, 1);
    put_u16(FListe->GetLine(3), 0, 5);
    EXPECT_EQ(FListe->FindSubList(6), 0);
    const uint8_t* missing = FListe->PeekSubList(7);
    EXPECT_EQ(get_u16(missing, 0), 7);
    EXPECT_TRUE(AllZeroExcept(missing, 100, {0}));
    EXPECT_EQ(FListe->Count(), 3);

    const uint8_t* a = AListe->PeekSubList(7);
    EXPECT_EQ(Hex(a, 14), "0700656565006565102700001027");
    EXPECT_EQ(AListe->Count(), 0);
    // The last four looks stay apart.
    const uint8_t* p1 = PListe->PeekSubList(1);
    const uint8_t* p2 = PListe->PeekSubList(2);
    EXPECT_EQ(get_u16(p1, 0), 1);
    EXPECT_EQ(get_u16(p2, 0), 2);
}

// Spare lines: the lines of a program being replaced serve the growth of
// the new one. They come out as fresh lines (defaults, numbering), in the
// order they were taken; what is not used goes with DropSpareLines.
TEST(ListModel, SpareLinesServeGrowthAsFreshLines)
{
    // Dirty lines of an index list, taken out whole.
    for (uint16_t i = 1; i <= 5; ++i)
        std::memset(AListe->GetLine(i), 0xEE, AListe->LineSize());
    std::vector<const uint8_t*> old;
    for (uint16_t i = 0; i <= 5; ++i)
        old.push_back(AListe->ExistingLine(i));
    T_ListenVar::TakenLines taken = AListe->TakeLines();
    EXPECT_EQ(AListe->Count(), 0);
    AListe->SetSpareLines(std::move(taken));
    EXPECT_TRUE(taken.lines.empty());

    // Growth to 3 lines takes the spare bytes of lines 0..3, in order.
    const uint8_t* third = AListe->GetLine(3);
    EXPECT_EQ(AListe->Count(), 3);
    EXPECT_EQ(AListe->ExistingLine(1), old[0]);
    EXPECT_EQ(AListe->ExistingLine(2), old[1]);
    EXPECT_EQ(third, old[2]);
    EXPECT_EQ(AListe->ExistingLine(0), old[3]);

    // Every line as a list grown from nothing has it.
    T_AListe fresh;
    fresh.GetLine(3);
    for (uint16_t i = 0; i <= 3; ++i)
        EXPECT_EQ(Hex(AListe->ExistingLine(i), 98), Hex(fresh.ExistingLine(i), 98)) << i;

    // The rest are dropped; growth allocates again and still gives fresh lines.
    AListe->DropSpareLines();
    EXPECT_EQ(Hex(AListe->GetLine(4), 98), Hex(fresh.GetLine(4), 98));

    // A knitting scheme line from a spare carries the scheme's defaults.
    std::memset(ZListe->GetLine(1), 0xAB, 640);
    ZListe->SetSpareLines(ZListe->TakeLines());
    const uint8_t* z = ZListe->GetLine(1);
    EXPECT_EQ(z[14], 0x7f);
    EXPECT_EQ(z[18], 0x7f);
    EXPECT_TRUE(AllZeroExcept(z, 640, {14, 18}));
    ZListe->DropSpareLines();
}
