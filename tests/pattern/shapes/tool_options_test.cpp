// The option pop-ups' buttons as settings of the painting unit.
#include <gtest/gtest.h>

#include "pattern/shapes/tool_options.h"

namespace {

TEST(ToolOptions, EachButtonWritesItsSetting)
{
    EXPECT_EQ(SlopeTag(1), 11);
    EXPECT_EQ(SlopeTag(4), 41);
    EXPECT_EQ(SlopeTag(13), 14);
    EXPECT_EQ(SlopeTag(16), 44);

    ShapeSettings s;
    EXPECT_EQ(s.outlineMode, 5);
    EXPECT_EQ(s.insertDeleteCode, 1);
    ASSERT_TRUE(ApplyToolOption(s, ToolOption::Slope, 23));
    EXPECT_EQ(s.slopeX, 2);
    EXPECT_EQ(s.slopeY, 3);

    const int types[][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};  // snap, staircase, free
    for (int b = 1; b <= 3; ++b) {
        ASSERT_TRUE(ApplyToolOption(s, ToolOption::LineType, b));
        EXPECT_EQ((std::array<int, 3>{s.snap, s.staircase, s.free}),
                  (std::array<int, 3>{types[b - 1][0], types[b - 1][1], types[b - 1][2]}))
            << b;
    }
    for (int b = 1; b <= 4; ++b) {
        ASSERT_TRUE(ApplyToolOption(s, ToolOption::LineWidth, b));
        EXPECT_EQ(s.lineWidth, b - 1);
    }
    const uint16_t outline[] = {5, 1, 2, 4, 3};
    for (int b = 1; b <= 5; ++b) {
        ASSERT_TRUE(ApplyToolOption(s, ToolOption::Outline, b));
        EXPECT_EQ(s.outlineMode, outline[b - 1]);
    }
    const uint16_t insdel[] = {2, 1, 10, 9, 4, 3, 12, 11};
    for (int b = 1; b <= 8; ++b) {
        ASSERT_TRUE(ApplyToolOption(s, ToolOption::InsertDelete, b));
        EXPECT_EQ(s.insertDeleteCode, insdel[b - 1]);
    }
}

TEST(ToolOptions, NoSuchButtonWritesNothing)
{
    ShapeSettings s;
    const ShapeSettings before = s;
    for (int tag : {0, 10, 15, 51, 45, 110, -11})
        EXPECT_FALSE(ApplyToolOption(s, ToolOption::Slope, tag)) << tag;
    EXPECT_FALSE(ApplyToolOption(s, ToolOption::LineType, 4));
    EXPECT_FALSE(ApplyToolOption(s, ToolOption::LineWidth, 0));
    EXPECT_FALSE(ApplyToolOption(s, ToolOption::Outline, 6));
    EXPECT_FALSE(ApplyToolOption(s, ToolOption::InsertDelete, 9));
    EXPECT_EQ(std::make_tuple(s.slopeX, s.slopeY, s.lineWidth, s.free, s.outlineMode, s.insertDeleteCode),
              std::make_tuple(before.slopeX, before.slopeY, before.lineWidth, before.free, before.outlineMode,
                              before.insertDeleteCode));
}

}  // namespace
