#include "check/ui/core/sim_row_painter.h"

#include <algorithm>

#include "check/ui/core/sim_row_cache.h"
#include "simlib/vpsimmod_abi.h"

namespace {

uint8_t GridColour(int32_t n, uint16_t period, uint8_t accent)
{
    return period > 0 && n % period == 1 ? accent : kSimGridColour;
}

// Pixel codes 0 .. 8 stand for themselves; any other is the background's.
constexpr std::array<uint8_t, 256> kCodeSlot = [] {
    std::array<uint8_t, 256> slots{};
    for (uint8_t c = 0; c <= 8; ++c)
        slots[c] = c;
    return slots;
}();

bool MarkedOut(const SimRowMarks& m, int32_t fabricRow)
{
    if (m.state == 0)
        return false;
    return (m.start != 0 && fabricRow < m.start) || (m.end != 0 && fabricRow > m.end);
}

}  // namespace

std::span<const uint8_t> SimRowPainter::ShapesOfWidth(std::span<const uint8_t> tables, int w)
{
    if (w < 2 || w > 16)
        return {};
    const size_t from = vpsim::ShapeTableOffset(w);
    const size_t size = 256u * static_cast<size_t>(w * vpsim::ShapeHeight(w));
    if (tables.size() < from + size)
        return {};
    return tables.subspan(from, size);
}

bool SimRowPainter::DrawRowsCustom2(const BandRequest& band, const SimPaintSettings& s)
{
    if (band.Empty() || !s.argb || !band.target.pixels)
        return true;
    for (int32_t r = 0; r < band.rows; ++r) {
        if (s.interrupted && s.interrupted())
            return false;
        DrawRow(band, s, r);
    }
    return true;
}

void SimRowPainter::DrawRow(const BandRequest& band, const SimPaintSettings& s, int32_t r)
{
    const int32_t w = band.cellWidth, h = band.cellHeight;
    const int32_t y = band.firstRow + r;
    const int32_t top = band.topPixel + (band.rows - 1 - r) * h;
    // The band's own pixels, cut to the target.
    const int32_t left = std::max(band.leftPixel, 0);
    const int32_t right = std::min(band.leftPixel + band.columns * w, band.target.width);
    const std::array<uint32_t, 256>& argb = *s.argb;

    // Rows outside the marks are drawn on their own background.
    if (MarkedOut(s.marks, (y + 1) / 2) && y >= 1 && y <= cache_.FabricRows())
        cache_.SetBackground(y, kSimMarkedOutColour);
    const uint8_t rowGrid = GridColour((y + 2) / 2, s.gridPeriod, band.accentColour);
    const size_t shapeBytes = static_cast<size_t>(w * h);

    // Neighbouring cells mostly share their colours: the table is built
    // again only when they change.
    std::array<uint32_t, 9> colours{};
    std::array<uint8_t, 5> built{};
    int builtGrid = -1;
    const int32_t firstX = band.firstColumn - 1;
    int32_t phase = s.gridPeriod > 0 ? ((firstX % s.gridPeriod) + s.gridPeriod) % s.gridPeriod : -1;
    const SimRowView row = cache_.View(y);
    for (int32_t x = firstX; x <= band.firstColumn + band.columns - 1; ++x) {
        const SimCell cell = row.Cell(static_cast<size_t>(std::max(x - 1, 0)));
        const uint8_t columnGrid = phase == 1 ? band.accentColour : kSimGridColour;
        if (phase >= 0 && ++phase == s.gridPeriod)
            phase = 0;
        if (cell.c != built || columnGrid != builtGrid) {
            built = cell.c;
            builtGrid = columnGrid;
            for (size_t k = 0; k <= 4; ++k)
                colours[k] = argb[cell.c[k]];
            colours[5] = argb[rowGrid];
            colours[6] = argb[columnGrid];
            colours[7] = argb[std::max(rowGrid, columnGrid)];
            colours[8] = argb[cell.c[2] == cell.c[0] ? cell.c[1] : cell.c[2]];
        }

        const size_t at = size_t(cell.shape) * shapeBytes;
        const bool known = at + shapeBytes <= s.shapes.size();
        const int32_t slot = band.leftPixel + (x - band.firstColumn) * w + cell.xOffset;
        // The part of the shape inside the band.
        const int32_t iFrom = std::max(0, left - slot);
        const int32_t iTo = std::min(w, right - slot);
        if (iFrom >= iTo)
            continue;
        for (int32_t j = 0; j < h; ++j) {
            const int32_t py = top + j;
            if (py < 0 || py >= band.target.height)
                continue;
            uint32_t* line = band.target.Line(py) + slot;
            if (!known) {
                std::fill(line + iFrom, line + iTo, colours[0]);
                continue;
            }
            const uint8_t* codes = s.shapes.data() + at + size_t(j * w);
            for (int32_t i = iFrom; i < iTo; ++i)
                line[i] = colours[kCodeSlot[codes[i]]];
        }
    }
}
