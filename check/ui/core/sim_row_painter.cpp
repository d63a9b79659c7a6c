#include "check/ui/core/sim_row_painter.h"

#include <algorithm>

#include "check/ui/core/sim_row_cache.h"
#include "simlib/vpsimmod_abi.h"

namespace {

uint8_t GridColour(int32_t n, uint16_t period, uint8_t accent)
{
    return period > 0 && n % period == 1 ? accent : kSimGridColour;
}

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

    for (int32_t x = band.firstColumn - 1; x <= band.firstColumn + band.columns - 1; ++x) {
        const SimCell cell = cache_.GetSimCell(x, y);
        const uint8_t columnGrid = GridColour(x, s.gridPeriod, band.accentColour);
        std::array<uint32_t, 16> colours{};
        colours.fill(argb[cell.c[0]]);
        for (int k = 1; k <= 4; ++k)
            colours[size_t(k)] = argb[cell.c[size_t(k)]];
        colours[5] = argb[rowGrid];
        colours[6] = argb[columnGrid];
        colours[7] = argb[std::max(rowGrid, columnGrid)];
        colours[8] = argb[cell.c[2] == cell.c[0] ? cell.c[1] : cell.c[2]];

        const size_t at = size_t(cell.shape) * shapeBytes;
        const bool known = at + shapeBytes <= s.shapes.size();
        const int32_t slot = band.leftPixel + (x - band.firstColumn) * w + cell.xOffset;
        for (int32_t j = 0; j < h; ++j) {
            const int32_t py = top + j;
            if (py < 0 || py >= band.target.height)
                continue;
            uint32_t* line = band.target.Line(py);
            const uint8_t* codes = known ? s.shapes.data() + at + size_t(j * w) : nullptr;
            for (int32_t i = 0; i < w; ++i) {
                const int32_t px = slot + i;
                if (px < left || px >= right)
                    continue;
                const uint8_t code = codes ? codes[i] : 0;
                line[px] = colours[code <= 8 ? code : 0];
            }
        }
    }
}
