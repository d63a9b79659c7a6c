#include <gtest/gtest.h>

#include <QImage>

#include "picture/render/band_renderer.h"
#include "picture/render/clipboard_picture.h"

namespace {

// A picture of one level in memory: cell (x, y) = (x + 10 y) mod 40.
class MemoryClient : public PictureClient {
public:
    MemoryClient(int w, int h) : width(w), height(h), cells(static_cast<size_t>(w * h))
    {
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x)
                At(x, y) = static_cast<uint8_t>((x + 10 * y) % 40);
    }
    uint8_t& At(int x, int y) { return cells[static_cast<size_t>((y - 1) * width + x - 1)]; }

    void ChooseRenderMode(uint8_t& m, uint8_t&, uint8_t&, uint8_t&, uint8_t, uint8_t) override
    {
        if (mode >= 0)
            m = static_cast<uint8_t>(mode);
    }
    void GetDisplayCell(uint16_t x, uint16_t y, uint32_t& shown, uint8_t& reference, uint8_t& c) override
    {
        ++asked;
        EXPECT_TRUE(x >= 1 && x <= width && y >= 1 && y <= height) << x << "," << y;
        shown = At(x, y);
        reference = 255;
        c = combined;
    }
    std::span<const uint8_t> GetCellPointer(int32_t x, int32_t y) override
    {
        ++asked;
        return {&At(x, y), static_cast<size_t>(width - x + 1)};
    }
    std::vector<std::span<uint8_t>> GetRowBytes(int32_t r, uint8_t levels) override
    {
        std::vector<std::span<uint8_t>> rows;
        for (int k = 0; k < std::max<int>(levels, extraLevels); ++k)
            rows.emplace_back(&At(1, 1 + r), static_cast<size_t>(width));
        return rows;
    }

    void DrawRowsCustom(const BandRequest& r) override { custom = r; }

    int width, height;
    std::vector<uint8_t> cells;
    BandRequest custom;
    int mode = -1;
    uint8_t combined = 0;
    int asked = 0;
    int extraLevels = 0;
};

PaletteTable Palette()
{
    std::array<uint8_t, kPaletteFileBytes> bytes{};
    for (int i = 0; i < 256; ++i) {
        bytes[4 * i] = static_cast<uint8_t>(i);
        bytes[4 * i + 1] = static_cast<uint8_t>(3 * i);
        bytes[4 * i + 2] = static_cast<uint8_t>(255 - i);
    }
    PaletteTable p;
    p.SetEntries(bytes);
    return p;
}

struct Fixture {
    MemoryClient client{30, 20};
    PaletteTable palette = Palette();
    GlyphTable glyphs = BlankGlyphTable();
    QImage image{300, 200, QImage::Format_RGB32};
    RenderSettings settings;

    Fixture()
    {
        image.fill(0xff123456u);
        settings.pictureWidth = client.width;
        settings.pictureHeight = client.height;
        settings.background = 0xffeeeeeeu;
    }
    BandRenderer::Result Render(const CellBand& band, int cell)
    {
        settings.cellWidth = settings.cellHeight = static_cast<uint8_t>(cell);
        BandRenderer r(client, palette, glyphs);
        return r.Render(band, settings, image);
    }
    uint32_t Pixel(int x, int y) const { return image.pixel(x, y); }
    uint32_t Colour(int i) const { return palette.Argb()[i]; }
};

TEST(BandRenderer, ModesFromCellSizeAndCombinedValue)
{
    struct Case {
        int cell;
        uint8_t combined;
        int mode;
    } cases[] = {{1, 0, 0}, {4, 0, 0}, {8, 0, 1}, {10, 0, 1}, {11, 0, 0}, {4, 130, 5}, {9, 130, 1}};
    for (const Case& c : cases) {
        Fixture f;
        f.client.combined = c.combined;
        EXPECT_EQ(f.Render({1, 1, 2, 2, 0, 0}, c.cell).mode, c.mode) << c.cell;
    }
}

TEST(BandRenderer, ModeSevenHandsTheBandToTheWindow)
{
    Fixture f;
    f.client.mode = 7;
    EXPECT_EQ(f.Render({3, 4, 5, 6, 20, 30}, 7).mode, 7);
    const BandRequest& r = f.client.custom;
    EXPECT_EQ(r.firstColumn, 3);
    EXPECT_EQ(r.rows, 6);
    EXPECT_EQ(r.topPixel, 30);
    EXPECT_EQ(r.cellWidth, 7);
    EXPECT_EQ(r.accentColour, 201);
    EXPECT_EQ(r.target.width, 300);
    EXPECT_EQ(r.target.Line(1), r.target.pixels + 300);
    EXPECT_EQ(f.client.asked, 1);
}

TEST(BandRenderer, AsksOncePerCellAndOncePerRowAtOnePixel)
{
    Fixture f;
    f.Render({1, 1, 30, 20, 0, 0}, 4);
    EXPECT_EQ(f.client.asked, 601);
    f.client.asked = 0;
    f.client.mode = 6;
    f.Render({1, 1, 30, 20, 0, 0}, 1);
    EXPECT_EQ(f.client.asked, 21);
    // Mode 6: row y on line 19 - (y - 1), columns left to right.
    EXPECT_EQ(f.Pixel(0, 19), f.Colour(11));
    EXPECT_EQ(f.Pixel(4, 17), f.Colour(35));
}

TEST(BandRenderer, CellsOutsideThePictureAreBackground)
{
    Fixture f;
    // Row 0 and columns past the width: never asked, drawn as background.
    f.Render({28, 0, 5, 2, 0, 0}, 4);
    EXPECT_EQ(f.Pixel(1, 5), 0xffeeeeeeu);   // row 0
    EXPECT_EQ(f.Pixel(13, 1), 0xffeeeeeeu);  // column 31, row 1
    EXPECT_EQ(f.Pixel(5, 1), f.Colour(f.client.At(29, 1)));
}

TEST(BandRenderer, GridLinesAndAccents)
{
    Fixture f;
    f.settings.gridPeriod = 10;
    f.Render({9, 1, 4, 3, 0, 0}, 5);
    // Columns 9..12: 11 is an accent column; rows 1..3: 1 is an accent row.
    const uint32_t normal = f.Colour(200), accent = f.Colour(201);
    EXPECT_EQ(f.Pixel(0, 14), accent);   // row 1's line
    EXPECT_EQ(f.Pixel(2, 9), normal);    // row 2's line
    EXPECT_EQ(f.Pixel(0, 7), normal);    // column 9's line
    EXPECT_EQ(f.Pixel(10, 7), accent);   // column 11's line
    EXPECT_EQ(f.Pixel(10, 9), accent);   // crossing on a normal row
    EXPECT_EQ(f.Pixel(2, 7), f.Colour(f.client.At(9, 2)));
}

TEST(BandRenderer, SymbolsBeyondTheGlyphAreBackground)
{
    Fixture f;
    BuildSymbolTextMap(f.glyphs, std::string(40, 'W'));
    f.client.mode = 1;
    f.Render({1, 1, 1, 1, 0, 0}, 16);
    const uint8_t v = f.client.At(1, 1);
    // Content columns 10 .. 14 and lines above the glyph: background only.
    for (int x = 11; x < 16; ++x)
        for (int y = 0; y < 15; ++y)
            EXPECT_EQ(f.Pixel(x, y), f.Colour(v)) << x << "," << y;
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(f.Pixel(3, y), f.Colour(v)) << y;
    int ink = 0;
    for (int x = 1; x < 11; ++x)
        for (int y = 5; y < 15; ++y)
            ink += f.Pixel(x, y) == f.Colour(f.palette.Contrast(v));
    EXPECT_GT(ink, 5);
}

TEST(BandRenderer, BlendSaturates)
{
    Fixture f;
    f.client.At(1, 1) = 250;  // (250, 238, 5)
    f.client.combined = 140;  // (140, 164, 115)
    f.Render({1, 1, 1, 1, 0, 0}, 4);
    EXPECT_EQ(f.Pixel(2, 1), 0xffffff75u);  // 125 + 140, 119 + 164 capped; 2 + 115
}

TEST(BandRenderer, InterruptedBandLeavesTheImage)
{
    Fixture f;
    int rows = 0;
    f.settings.interrupted = [&] { return ++rows > 3; };
    EXPECT_FALSE(f.Render({1, 1, 10, 10, 0, 0}, 4).drawn);
    EXPECT_EQ(f.Pixel(1, 38), 0xff123456u);
    f.settings.interrupted = [] { return false; };
    EXPECT_TRUE(f.Render({1, 1, 10, 10, 0, 0}, 4).drawn);
    EXPECT_EQ(f.Pixel(1, 38), f.Colour(f.client.At(1, 1)));
}

TEST(ClipboardPicture, LevelsStandUprightOneBelowTheOther)
{
    MemoryClient client(6, 5);
    const PaletteTable palette = Palette();
    const Bmp8 p = ClipboardPicture::Copy(client, 4, 3, 2, palette);
    ASSERT_EQ(p.width, 4);
    ASSERT_EQ(p.height, 6);
    // Rows 3, 2, 1 from the top in each block.
    for (int k = 0; k < 2; ++k)
        for (int line = 0; line < 3; ++line)
            EXPECT_EQ(p.Line(k * 3 + line)[0], client.At(1, 3 - line)) << k << " " << line;
    const QImage image = ClipboardPicture::ToImage(p);
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.pixelIndex(0, 0), client.At(1, 3));
    EXPECT_EQ(image.colorTable()[20], palette.Argb()[20]);
}

TEST(ClipboardPicture, PasteStaysWithinLevelsLinesAndSpans)
{
    MemoryClient client(6, 5);
    client.extraLevels = 3;  // more rows than the picture has levels
    Bmp8 p;
    p.width = 8;
    p.height = 2;
    p.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18};
    ClipboardPicture::Paste(client, p, 10, 1);
    // Two rows of one level, upright: the top line is row 2; six cells a span.
    EXPECT_EQ(client.At(1, 2), 1);
    EXPECT_EQ(client.At(6, 2), 6);
    EXPECT_EQ(client.At(1, 1), 11);
    EXPECT_EQ(client.At(1, 3), (1 + 30) % 40);
}

TEST(ClipboardPicture, ColoursMapToTheFirstExactIndex)
{
    const PaletteTable palette = Palette();
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, palette.Argb()[5]);
    image.setPixel(1, 0, qRgb(1, 2, 3));
    image.setPixel(2, 0, palette.Argb()[7]);
    const Bmp8 p = ClipboardPicture::FromImage(image, palette);
    EXPECT_EQ(std::vector<uint8_t>(p.pixels.begin(), p.pixels.end()), (std::vector<uint8_t>{5, 0, 7}));
}

}  // namespace
