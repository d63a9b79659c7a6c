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

SimRowView SimRowCache::View(int32_t y)
{
    Load(y);
    SimRowView v;
    v.count = std::min({row_.shape.size(), row_.colour.size(), row_.third.size()});
    v.shape = row_.shape.data();
    v.colour = row_.colour.data();
    v.third = row_.third.data();
    v.background = row_.background;
    v.xOffset = row_.xOffset;
    v.grid = switches_.grid;
    v.oldYarn = switches_.oldYarn;
    v.passingYarn = switches_.carriers && y > fabricRows_;
    return v;
}

SimCell SimRowCache::GetSimCell(int32_t x, int32_t y)
{
    return View(y).Cell(static_cast<size_t>(std::max(x - 1, 0)));
}

std::span<const uint8_t> SimRowCache::DisplayCells(int32_t x, int32_t y)
{
    Load(y);
    if (displayRow_ != y) {
        const SimRowView v = View(y);
        display_.resize(v.count);
        for (size_t i = 0; i < v.count; ++i) {
            const SimCell cell = v.Cell(i);
            display_[i] = (cell.shape & 127) != 0 ? cell.c[1] : cell.c[2];
        }
        displayRow_ = y;
    }
    const size_t from = static_cast<size_t>(std::max(x - 1, 0));
    if (from >= display_.size())
        return {};
    return std::span<const uint8_t>(display_).subspan(from);
}
