// The small tools and the dialogs' rules.
#include <gtest/gtest.h>

#include "lists/core/list_tools.h"

TEST(ListTools, TextTools)
{
    EXPECT_EQ(PipeField(1, "a|b|c"), "b");
    EXPECT_EQ(PipeField(2, "a|b|c"), "c");
    EXPECT_EQ(PipeField(5, "a|b|c"), "");
    EXPECT_EQ(RightChars("abc", 5), "abc");
    EXPECT_EQ(RightChars("abc", 2), "bc");
    EXPECT_TRUE(IsNumber(" +12"));
    EXPECT_TRUE(IsNumber(""));
    EXPECT_FALSE(IsNumber("1a"));
    EXPECT_EQ(SignChar(0), "+");
    EXPECT_EQ(SignChar(-1), "-");
    EXPECT_TRUE(RangesOverlap(0, 10, 5, 10));
    EXPECT_TRUE(RangesOverlap(0, 30, 5, 10));
    EXPECT_FALSE(RangesOverlap(0, 10, 11, 10));
}

TEST(ListTools, SelectionRowsFollowTheMask)
{
    const SelectionRows rows = BuildSelectionRows(" || |X||X|", "01", 1);
    EXPECT_EQ(rows.texts, (std::vector<std::string>{"X"}));
    EXPECT_EQ(rows.entries, (std::vector<int>{1}));
    EXPECT_EQ(rows.selectedRow, 0);
    EXPECT_TRUE(BuildSelectionRows(" || |X||X|", "00", 0).texts.empty());
    EXPECT_EQ(BuildSelectionRows("a||a|b||b|c||c|", "0", 0).paddedMask, "011");
    // Marked rows count as the entries they show.
    const SelectionRows all = BuildSelectionRows("a||a|b||b|c||c|d||d|", "", 0);
    EXPECT_EQ(MultiSelectionResult(all, {true, false, false, true}), 9u);
    const SelectionRows masked = BuildSelectionRows("a||a|b||b|c||c|d||d|", "0101", 0);
    EXPECT_EQ(MultiSelectionResult(masked, {true, true}), 0b1010u);
}

