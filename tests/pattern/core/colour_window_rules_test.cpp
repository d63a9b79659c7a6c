// The colour window's rules without a window: the grid of panels for a
// screen, the ".TAB" hints, and the repeat count of "Multiples Kopieren".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/core/colour_grid_layout.h"
#include "pattern/core/multi_copy_value.h"
#include "pattern/core/tab_hints.h"
#include "tests/support/test_env.h"

namespace {

ColourGridLayout Grid(int32_t count, int32_t screenWidth = 1280, int32_t screenHeight = 1024, int32_t top = 400)
{
    ColourGridInput in;
    in.count = count;
    in.panelWidth = 26;
    in.panelHeight = 26;
    in.screen = {0, 0, screenWidth, screenHeight};
    in.windowTop = top;
    in.chromeHeight = 60;
    return LayOutColourGrid(in);
}

TEST(ColourGrid, ColumnsRowsAndMotifPanelsByScreen)
{
    struct Case {
        int32_t count, screenWidth, screenHeight, top;
        int32_t columns, rows, motifs;
    };
    const Case cases[] = {
        {32, 1280, 1024, 400, 12, 3, 32},  // the default symbols: last row holds 8
        {42, 1280, 1024, 400, 12, 4, 42},
        {8, 1280, 1024, 400, 8, 1, 40},
        {11, 1280, 1024, 400, 11, 1, 40},
        {12, 1280, 1024, 400, 12, 1, 12},
        {32, 768, 1024, 400, 8, 4, 32},    // a narrow screen
        {32, 769, 1024, 400, 12, 3, 32},
        // 400 + 60 + 3 x 26 = 538 reaches past 600 - 30 only from top 433 on.
        {32, 1280, 600, 432, 12, 3, 32},
        {32, 1280, 600, 433, 6, 6, 32},
        {5, 1280, 1024, 400, 5, 1, 40},
        {0, 1280, 1024, 400, 1, 0, 40},    // no colours: nothing divides by zero
    };
    for (const Case& c : cases) {
        const ColourGridLayout g = Grid(c.count, c.screenWidth, c.screenHeight, c.top);
        SCOPED_TRACE(testing::Message() << c.count << " colours on " << c.screenWidth << " x " << c.screenHeight);
        EXPECT_EQ(g.columns, c.columns);
        EXPECT_EQ(g.rows, c.rows);
        EXPECT_EQ(g.motifCount, c.motifs);
    }
    const ColourGridLayout g = Grid(32);
    EXPECT_EQ(g.Position(1), (PanelPosition{0, 0}));
    EXPECT_EQ(g.Position(12), (PanelPosition{11 * 26, 0}));
    EXPECT_EQ(g.Position(32), (PanelPosition{7 * 26, 2 * 26}));
    EXPECT_EQ(g.motifRows, 3);
    EXPECT_EQ(g.GridWidth(), 12 * 26);
}

TEST(TabHints, WholeRecordsOnlyUpToThePanels)
{
    const std::vector<uint8_t> bytes{0x64, 0x00, 1, 2, 3, 4, 5, 0xd0, 0x07, 0, 0, 0, 0, 0, 0xff, 0xff, 0};
    EXPECT_EQ(TabHints(bytes, 32), (std::vector<std::string>{"100", "2000"}));
    EXPECT_EQ(TabHints(bytes, 1), (std::vector<std::string>{"100"}));
    EXPECT_EQ(TabHints(std::span(bytes).first(10), 32), (std::vector<std::string>{"100"}));
    EXPECT_TRUE(TabHints(std::span(bytes).first(6), 32).empty());

    EXPECT_FALSE(ReadTabHints(TestHome() + "missing.TAB", 32).has_value());
    WriteTestFile(TestHome() + "zorit.tab", std::string("\x64\x00\0\0\0\0\0\xff\xff", 9));
    const auto read = ReadTabHints(TestHome() + "Zorit.TAB", 32);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, (std::vector<std::string>{"100"}));
}

TEST(MultiCopyValue, OneToFourHundredNinetyNine)
{
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"12", 12}, {"1", 1}, {" 7", 7}, {"7 ", 7}, {"99", 99}, {"499", 499}, {"0499", 499},
        {"", std::nullopt}, {"  ", std::nullopt}, {"0", std::nullopt}, {"00", std::nullopt},
        {"500", std::nullopt}, {"99999999999999999999", std::nullopt}, {"1 2", std::nullopt},
        {"-3", std::nullopt}, {"x", std::nullopt}, {"3a", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MultiCopyValue(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace

TEST(TabHints, APipeOrDeviceGivesNoHints)
{
    for (const std::string& name : NoFilePaths("pipe.TAB"))
        EXPECT_FALSE(ReadTabHints(name, 32).has_value()) << name;
}
