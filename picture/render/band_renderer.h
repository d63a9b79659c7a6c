#pragma once
// Draws a band of cells into a pane's kept image: asks the window for the
// mode, then draws plain cells (0), symbols (1), blended levels (5) or one
// pixel per cell (6) with their grid lines, or hands the band to the window
// (2 and 7). Cells outside the picture take the background.
#include <QImage>
#include <cstdint>
#include <functional>

#include "picture/core/palette_table.h"
#include "picture/core/picture_client.h"
#include "picture/core/picture_geometry.h"
#include "picture/core/symbol_glyphs.h"

struct RenderSettings {
    int32_t pictureWidth = 1;
    int32_t pictureHeight = 1;
    uint8_t cellWidth = 1;
    uint8_t cellHeight = 1;
    uint16_t gridPeriod = 10;
    // 0xffRRGGBB of what lies outside the picture.
    uint32_t background = 0xffffffffu;
    int32_t pane = 0;
    // Asked before each picture row; true stops the band and leaves the
    // image as it was (a running redraw stops when the mouse moves on).
    std::function<bool()> interrupted;
};

class BandRenderer {
public:
    struct Result {
        uint8_t mode = 0;
        // False when nothing was drawn (an empty band, or interrupted).
        bool drawn = false;
    };

    BandRenderer(PictureClient& client, const PaletteTable& palette, const GlyphTable& glyphs);

    // Draws band into image (Format_RGB32) at the band's left and top pixel.
    Result Render(const CellBand& band, const RenderSettings& settings, QImage& image);

    // The view of an RGB32 image's pixels that modes 2 and 7 draw into.
    static PixelView ViewOf(QImage& image);

private:
    struct Choice {
        uint8_t mode = 0;
        bool grid = false;
        uint8_t accent = kAccentGridColour;
    };
    Choice ChooseMode(const CellBand& band, const RenderSettings& s);
    bool Draw(const CellBand& band, const RenderSettings& s, const Choice& choice, PixelView target);
    void DrawRow(int32_t y, const CellBand& band, const RenderSettings& s, const Choice& choice, PixelView target,
                 int32_t top);
    void DrawOnePixelRow(int32_t y, const CellBand& band, const RenderSettings& s, uint32_t* line);
    uint32_t CellColour(uint8_t mode, uint32_t shown, uint8_t combined) const;

    PictureClient& client_;
    const PaletteTable& palette_;
    const GlyphTable& glyphs_;
};
