#include "check/ui/core/sim_row_cache.h"

#include <algorithm>

#include "check/ui/core/sim_row_source.h"

void SimRowCache::SetSwitches(const SimDisplaySwitches& s)
{
    switches_ = s;
    Drop();
}

void SimRowCache::SetCellWidth(uint16_t w)
{
    if (w != cellWidth_)
        Drop();
    cellWidth_ = w;
}

void SimRowCache::Load(int32_t y)
{
    if (y == cachedRow_)
        return;
    const uint16_t row = static_cast<uint16_t>(std::clamp<int32_t>(y, 0, 65535));
    const uint16_t fromTop = static_cast<uint16_t>(std::clamp<int32_t>(int32_t(height_) - y + 1, 0, 65535));
    if (!source_->row(fromTop, cellWidth_, row, !switches_.oldYarn, !switches_.density, row_)) {
        row_.shape.clear();
        row_.colour.clear();
        row_.third.clear();
        row_.background = 0;
        row_.xOffset = 0;
    }
    cachedRow_ = y;
    displayRow_ = -1;
}

const SimDllRow& SimRowCache::Row(int32_t y)
{
    Load(y);
    return row_;
}

uint8_t SimRowCache::Background(int32_t y)
{
    Load(y);
    return row_.background;
}

void SimRowCache::SetBackground(int32_t y, uint8_t colour)
{
    Load(y);
    row_.background = colour;
    displayRow_ = -1;
}

SimCell SimRowCache::CellOf(size_t i, int32_t y) const
{
    SimCell cell;
    const uint8_t c0 = row_.background;
    cell.c = {c0, c0, c0, 255, 255};
    // Columns past the arrays (the machine width) are empty fabric.
    if (i >= row_.shape.size() || i >= row_.colour.size() || i >= row_.third.size()) {
        cell.shape = switches_.grid ? 128 : 0;
        cell.xOffset = switches_.grid ? 0 : row_.xOffset;
        return cell;
    }
    // Shapes above 127 are the library's own grid forms: the grid adds its
    // 128 to the plain shape, never past the table.
    cell.shape = switches_.grid ? static_cast<uint8_t>((row_.shape[i] & 127) + 128) : row_.shape[i];
    cell.xOffset = switches_.grid ? 0 : row_.xOffset;
    cell.c[1] = row_.colour[i];
    const int8_t third = row_.third[i];
    if (switches_.oldYarn && third == vpsim::kThirdOldYarn)
        cell.c[2] = 254;
    else if (!switches_.oldYarn && (!switches_.carriers || y <= fabricRows_))
        cell.c[2] = c0;
    else
        cell.c[2] = third == vpsim::kThirdNone ? c0 : static_cast<uint8_t>(third);
    return cell;
}

SimCell SimRowCache::GetSimCell(int32_t x, int32_t y)
{
    Load(y);
    return CellOf(static_cast<size_t>(std::max(x - 1, 0)), y);
}

std::span<const uint8_t> SimRowCache::DisplayCells(int32_t x, int32_t y)
{
    Load(y);
    if (displayRow_ != y) {
        const size_t n = row_.shape.size();
        display_.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const SimCell cell = CellOf(i, y);
            display_[i] = (cell.shape & 127) != 0 ? cell.c[1] : cell.c[2];
        }
        displayRow_ = y;
    }
    const size_t from = static_cast<size_t>(std::max(x - 1, 0));
    if (from >= display_.size())
        return {};
    return std::span<const uint8_t>(display_).subspan(from);
}
