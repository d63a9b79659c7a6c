#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "kernel/model/globals.h"
#include "picture/core/contrast_colour.h"
#include "picture/core/palette_file.h"
#include "tests/support/test_env.h"

namespace {

std::string PaletteBytes(size_t size, const std::vector<std::pair<int, std::array<uint8_t, 3>>>& entries)
{
    std::string bytes(size, '\0');
    for (const auto& [i, rgb] : entries)
        for (int c = 0; c < 3; ++c)
            bytes[4 * i + c] = static_cast<char>(rgb[c]);
    return bytes;
}

TEST(PaletteFile, UsedColoursContrastAndColour204)
{
    WriteTestFile(TestHome() + "Test.Pal",
                  PaletteBytes(1024, {{0, {9, 9, 9}}, {1, {255, 255, 255}}, {5, {1, 2, 3}},
                                      {6, {128, 127, 127}}, {7, {127, 128, 128}}, {204, {0x11, 0x22, 0x33}}}));
    PaletteTable table;
    ASSERT_EQ(LoadPaletteFile(table, "Test.Pal"), PaletteLoad::Loaded);
    // Entry 2 is the first black one at or above 2.
    EXPECT_EQ(table.UsedColours(), 1);
    EXPECT_EQ(table.Contrast(1), 203);
    EXPECT_EQ(table.Contrast(2), 202);
    EXPECT_EQ(table.Contrast(6), 202);  // 12730
    EXPECT_EQ(table.Contrast(7), 203);  // 12770
    EXPECT_EQ(table.Rgb204(), 0x00332211u);
    EXPECT_EQ(table.Argb()[5], 0xff010203u);
    EXPECT_EQ(table.Red(5), 1);
    EXPECT_EQ(table.Blue(5), 3);
}

TEST(PaletteFile, LongShortMissingAndCaseOfName)
{
    PaletteTable table;
    const auto before = table.Entries();
    EXPECT_EQ(LoadPaletteFile(table, "Kelt.Pal"), PaletteLoad::Missing);
    EXPECT_EQ(table.Entries(), before);

    // A short file is refused whole: the table keeps every entry.
    WriteTestFile(TestHome() + "Short.Pal", std::string(1000, '\x7f'));
    EXPECT_EQ(LoadPaletteFile(table, "Short.Pal"), PaletteLoad::TooShort);
    EXPECT_EQ(table.Entries(), before);
    EXPECT_EQ(table.UsedColours(), 255);

    std::string longFile = PaletteBytes(2000, {{0, {1, 1, 1}}, {1, {2, 2, 2}}, {2, {3, 3, 3}}});
    longFile[1024] = '\x55';
    WriteTestFile(TestHome() + "Kelt.Pal", longFile);
    EXPECT_EQ(LoadPaletteFile(table, "kelt.pal"), PaletteLoad::Loaded);
    EXPECT_EQ(table.UsedColours(), 2);

    // A name with a separator is a path, not a name in the program folder.
    WriteTestFile(TestHome() + "sub/Other.Pal", PaletteBytes(1024, {{2, {4, 4, 4}}, {3, {5, 5, 5}}}));
    EXPECT_EQ(LoadPaletteFile(table, "Other.Pal"), PaletteLoad::Missing);
    EXPECT_EQ(LoadPaletteFile(table, TestHome() + "sub\\other.pal"), PaletteLoad::Loaded);
    EXPECT_EQ(table.UsedColours(), 3);
}

TEST(PaletteTable, DefaultColours)
{
    PaletteTable table;
    EXPECT_EQ(table.UsedColours(), 255);
    EXPECT_EQ(table.Argb()[kWhiteLettering], 0xffffffffu);
    EXPECT_EQ(table.Argb()[kBlackLettering], 0xff000000u);
    EXPECT_EQ(table.Contrast(kWhiteLettering), 203);
    EXPECT_EQ(table.Contrast(kBlackLettering), 202);
    // The frame, crosshair and range colours stand apart from each other and
    // from the grid.
    const std::set<uint32_t> marks{table.Argb()[200], table.Argb()[201], table.Argb()[205], table.Argb()[206],
                                   table.Argb()[207]};
    EXPECT_EQ(marks.size(), 5u);
    // The symbol colours differ and none is black.
    std::set<uint32_t> cells;
    for (int i = 0; i < 42; ++i) {
        cells.insert(table.Argb()[i]);
        EXPECT_NE(table.Argb()[i], 0xff000000u) << i;
    }
    EXPECT_EQ(cells.size(), 42u);
}

// What the simulation paints with the default palette: carriers, stitch
// densities and its grid (entry 214) on the white fabric ground.
TEST(PaletteTable, DefaultSimulationColoursAreReadable)
{
    PaletteTable table;
    auto rgb = [&table](int i) { return std::array<int, 3>{table.Red(i), table.Green(i), table.Blue(i)}; };
    auto distance = [&rgb](int a, int b) {
        const auto x = rgb(a), y = rgb(b);
        return std::hypot(x[0] - y[0], x[1] - y[1], x[2] - y[2]);
    };
    // Brightness weighted as the eye sees it, in thousandths.
    auto brightness = [&rgb](int i) {
        const auto c = rgb(i);
        return 299 * c[0] + 587 * c[1] + 114 * c[2];
    };
    for (int a = 32; a < 96; ++a) {
        EXPECT_LE(brightness(a), 200000) << "carrier entry " << a << " stands out from the white ground";
        EXPECT_LT(brightness(a), brightness(214)) << "the grid is lighter than carrier entry " << a;
        for (int b = a + 1; b < 96; ++b)
            EXPECT_GE(distance(a, b), 30.0) << "carrier entries " << a << " and " << b;
    }
    EXPECT_GE(distance(32, 33), 80.0) << "carriers 1A and 1B";
    for (int d = 210; d <= 235; ++d) {
        if (d == 214)
            continue;
        EXPECT_LE(brightness(d), 200000) << "density entry " << d << " stands out from the white ground";
        EXPECT_LT(brightness(d), brightness(214)) << "the grid is lighter than density entry " << d;
        if (d > 210) {
            EXPECT_LT(brightness(d), brightness(d == 215 ? 213 : d - 1)) << "the density ramp darkens at " << d;
        }
    }
}

TEST(ContrastColour, WeightedBrightness)
{
    EXPECT_EQ(ContrastColour(255, 255, 255), (RgbColour{0, 0, 0}));
    EXPECT_EQ(ContrastColour(0, 0, 0), (RgbColour{255, 255, 255}));
    EXPECT_EQ(ContrastColour(128, 127, 127), (RgbColour{255, 255, 255}));
    EXPECT_EQ(ContrastColour(127, 128, 128), (RgbColour{0, 0, 0}));
    EXPECT_EQ(ContrastColourRGB(0x00000000), 0x00ffffffu);
    // Red in the low byte: pure blue is dark, pure green light.
    EXPECT_EQ(ContrastColourRGB(0x00ff0000), 0x00ffffffu);
    EXPECT_EQ(ContrastColourRGB(0x0000ff00), 0x00000000u);
}

}  // namespace

TEST(PaletteFile, APipeOrDeviceIsNoPaletteFile)
{
    for (const std::string& name : NoFilePaths("pipe.Pal")) {
        PaletteTable table;
        const auto before = table.Entries();
        EXPECT_EQ(LoadPaletteFile(table, name), PaletteLoad::Missing) << name;
        EXPECT_EQ(table.Entries(), before) << name;
    }
}
