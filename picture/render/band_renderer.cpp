#include "picture/render/band_renderer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

uint32_t Blend(uint32_t half, uint32_t tint)
{
    uint32_t out = 0xff000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = ((half >> shift) & 0xff) / 2 + ((tint >> shift) & 0xff);
        out |= std::min<uint32_t>(c, 255) << shift;
    }
    return out;
}

bool Accent(int32_t n, uint16_t period)
{
    return period > 0 && n % period == 1;
}

}  // namespace

BandRenderer::BandRenderer(PictureClient& client, const PaletteTable& palette, const GlyphTable& glyphs)
    : client_(client), palette_(palette), glyphs_(glyphs)
{
}

PixelView BandRenderer::ViewOf(QImage& image)
{
    PixelView v;
    v.pixels = reinterpret_cast<uint32_t*>(image.bits());
    v.width = image.width();
    v.height = image.height();
    v.stride = static_cast<int32_t>(image.bytesPerLine() / 4);
    return v;
}

BandRenderer::Choice BandRenderer::ChooseMode(const CellBand& band, const RenderSettings& s)
{
    const uint8_t cw = s.cellWidth, ch = s.cellHeight;
    uint8_t symbol = cw == ch && cw >= 8 && cw <= 10;
    uint8_t grid = cw > 2 && ch > 2 && !(cw == 8 && ch == 8);
    uint8_t mode = 0;
    uint8_t accent = kGridColour;
    client_.ChooseRenderMode(mode, symbol, grid, accent, cw, ch);
    uint32_t shown = 0;
    uint8_t reference = 255, combined = 0;
    const int32_t x = band.firstColumn, y = std::max(1, band.firstRow);
    if (x >= 1 && x <= s.pictureWidth && y <= s.pictureHeight)
        client_.GetDisplayCell(static_cast<uint16_t>(x), static_cast<uint16_t>(y), shown, reference, combined);
    accent = kAccentGridColour;
    if (mode != 3 && mode != 4)
        mode = symbol ? 1 : combined != 0 ? 5 : 0;
    client_.ChooseRenderMode(mode, symbol, grid, accent, cw, ch);
    return {mode, grid != 0, accent};
}

BandRenderer::Result BandRenderer::Render(const CellBand& band, const RenderSettings& s, QImage& image)
{
    Result result;
    if (band.Empty() || image.isNull())
        return result;
    const Choice choice = ChooseMode(band, s);
    result.mode = choice.mode;
    if (choice.mode == 2 || choice.mode == 7) {
        const BandRequest request{band, s.pane, s.cellWidth, s.cellHeight, choice.accent, ViewOf(image)};
        if (choice.mode == 2)
            client_.DrawRowsCustom2(request);
        else
            client_.DrawRowsCustom(request);
        result.drawn = true;
        return result;
    }
    if (choice.mode != 0 && choice.mode != 1 && choice.mode != 5 && choice.mode != 6)
        return result;
    const int32_t width = band.columns * s.cellWidth;
    const int32_t height = band.rows * s.cellHeight;
    if (!s.interrupted) {
        // Nothing can stop the band: draw straight into the image.
        PixelView whole = ViewOf(image);
        PixelView target{whole.pixels, whole.width, whole.height, whole.stride};
        result.drawn = Draw(band, s, choice, target);
        return result;
    }
    // A band that may stop half way is drawn aside and copied only when whole.
    QImage aside(width, height, QImage::Format_RGB32);
    CellBand local = band;
    local.leftPixel = 0;
    local.topPixel = 0;
    if (!Draw(local, s, choice, ViewOf(aside)))
        return result;
    const int32_t w = std::min(width, image.width() - band.leftPixel);
    for (int32_t line = 0; line < height && w > 0; ++line) {
        const int32_t y = band.topPixel + line;
        if (y >= 0 && y < image.height())
            std::memcpy(reinterpret_cast<uint32_t*>(image.scanLine(y)) + band.leftPixel, aside.constScanLine(line),
                        static_cast<size_t>(w) * 4);
    }
    result.drawn = true;
    return result;
}

bool BandRenderer::Draw(const CellBand& band, const RenderSettings& s, const Choice& choice, PixelView target)
{
    for (int32_t r = 0; r < band.rows; ++r) {
        if (s.interrupted && s.interrupted())
            return false;
        const int32_t top = band.topPixel + (band.rows - 1 - r) * s.cellHeight;
        DrawRow(band.firstRow + r, band, s, choice, target, top);
    }
    return true;
}

uint32_t BandRenderer::CellColour(uint8_t mode, uint32_t shown, uint8_t combined) const
{
    const uint32_t colour = palette_.Argb()[shown & 0xff];
    return mode == 5 ? Blend(colour, palette_.Argb()[combined]) : colour;
}

void BandRenderer::DrawOnePixelRow(int32_t y, const CellBand& band, const RenderSettings& s, uint32_t* line)
{
    const auto& argb = palette_.Argb();
    int32_t n = 0;
    if (y >= 1 && y <= s.pictureHeight && band.firstColumn >= 1 && band.firstColumn <= s.pictureWidth) {
        const std::span<const uint8_t> cells = client_.GetCellPointer(band.firstColumn, y);
        n = std::min<int32_t>({band.columns, static_cast<int32_t>(cells.size()), s.pictureWidth - band.firstColumn + 1});
        for (int32_t c = 0; c < n; ++c)
            line[c] = argb[cells[c]];
    }
    std::fill(line + n, line + band.columns, s.background);
}

void BandRenderer::DrawRow(int32_t y, const CellBand& band, const RenderSettings& s, const Choice& choice,
                           PixelView target, int32_t top)
{
    const int32_t cw = s.cellWidth, ch = s.cellHeight;
    const int32_t width = std::min(band.columns * cw, target.width - band.leftPixel);
    if (width <= 0)
        return;
    const int32_t firstLine = std::max(top, 0);
    const int32_t endLine = std::min(top + ch, target.height);
    if (firstLine >= endLine)
        return;
    const auto put = [&](int32_t line, const uint32_t* pixels) {
        std::memcpy(target.Line(line) + band.leftPixel, pixels, static_cast<size_t>(width) * 4);
    };
    std::vector<uint32_t> content(static_cast<size_t>(band.columns) * cw);
    if (choice.mode == 6) {
        DrawOnePixelRow(y, band, s, content.data());
        for (int32_t line = firstLine; line < endLine; ++line)
            put(line, content.data());
        return;
    }
    const bool rowInside = y >= 1 && y <= s.pictureHeight;
    const int32_t grid = choice.grid ? 1 : 0;
    const auto& argb = palette_.Argb();
    const uint32_t normal = argb[kGridColour], accent = argb[choice.accent];
    const bool accentRow = Accent(y, s.gridPeriod);
    std::vector<uint32_t> gridLine(content.size(), s.background);
    // Per cell: what its content shows (mode 1 keeps value and reference).
    std::vector<uint32_t> shownValues(band.columns);
    std::vector<uint8_t> references(band.columns), inside(band.columns);
    for (int32_t c = 0; c < band.columns; ++c) {
        const int32_t x = band.firstColumn + c;
        uint32_t* cell = content.data() + static_cast<size_t>(c) * cw;
        inside[c] = rowInside && x >= 1 && x <= s.pictureWidth;
        if (!inside[c]) {
            std::fill(cell, cell + cw, s.background);
            continue;
        }
        uint32_t shown = 0;
        uint8_t reference = 255, combined = 0;
        client_.GetDisplayCell(static_cast<uint16_t>(x), static_cast<uint16_t>(y), shown, reference, combined);
        shownValues[c] = shown;
        references[c] = reference;
        const bool accentColumn = Accent(x, s.gridPeriod);
        std::fill(cell, cell + cw, CellColour(choice.mode, shown, combined));
        if (grid) {
            cell[0] = accentColumn ? accent : normal;
            uint32_t* g = gridLine.data() + static_cast<size_t>(c) * cw;
            std::fill(g, g + cw, accentRow ? accent : normal);
            if (accentColumn)
                g[0] = accent;
        }
    }
    const int32_t contentLines = ch - grid;
    for (int32_t line = firstLine; line < endLine; ++line) {
        const int32_t inCell = line - top;
        if (inCell >= contentLines) {
            put(line, gridLine.data());
            continue;
        }
        if (choice.mode != 1) {
            put(line, content.data());
            continue;
        }
        // Symbols: every line of the cell is its own; l counts from the bottom.
        const int32_t l = contentLines - 1 - inCell;
        std::vector<uint32_t> symbolLine(content);
        for (int32_t c = 0; c < band.columns; ++c) {
            if (!inside[c])
                continue;
            const uint8_t v = static_cast<uint8_t>(shownValues[c]);
            const uint8_t backIndex = references[c] == 255 ? v : references[c];
            const uint8_t inkIndex = references[c] == 255 ? palette_.Contrast(v) : v;
            const Glyph& glyph = *glyphs_[v];
            uint32_t* cell = symbolLine.data() + static_cast<size_t>(c) * cw + grid;
            for (int32_t k = 0; k < cw - grid; ++k) {
                // Pixels beyond the 10 x 10 glyph are background.
                const bool ink = k < 10 && l < 10 && glyph[static_cast<size_t>(k * 10 + l)] == 0;
                cell[k] = argb[ink ? inkIndex : backIndex];
            }
        }
        put(line, symbolLine.data());
    }
}
