#include "pattern/shapes/grid_surface.h"

#include <algorithm>
#include <stdexcept>

GridSurface::GridSurface(int levels, int32_t width, int32_t height)
    : levels_(std::max(levels, 0)), width_(std::max(width, 0)), height_(std::max(height, 0)),
      cells_(static_cast<size_t>(levels_) * static_cast<size_t>(width_) * static_cast<size_t>(height_)),
      rowChanged_(static_cast<size_t>(levels_) * static_cast<size_t>(height_))
{
}

bool GridSurface::Inside(int level, int32_t y) const
{
    return level >= 1 && level <= levels_ && y >= 1 && y <= height_;
}

std::span<uint8_t> GridSurface::Row(int level, int32_t y)
{
    if (!Inside(level, y) || width_ == 0)
        return {};
    size_t row = static_cast<size_t>(level - 1) * static_cast<size_t>(height_) + static_cast<size_t>(y - 1);
    return {cells_.data() + row * static_cast<size_t>(width_), static_cast<size_t>(width_)};
}

std::span<uint8_t> GridSurface::Level(int level)
{
    if (level < 1 || level > levels_)
        return {};
    size_t size = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    return {cells_.data() + static_cast<size_t>(level - 1) * size, size};
}

uint8_t GridSurface::Cell(int level, int32_t x, int32_t y) const
{
    if (!Inside(level, y) || x < 1 || x > width_)
        throw std::out_of_range("cell outside the grid");
    size_t row = static_cast<size_t>(level - 1) * static_cast<size_t>(height_) + static_cast<size_t>(y - 1);
    return cells_[row * static_cast<size_t>(width_) + static_cast<size_t>(x - 1)];
}

void GridSurface::SetCell(int level, int32_t x, int32_t y, uint8_t value)
{
    std::span<uint8_t> row = Row(level, y);
    if (x < 1 || static_cast<size_t>(x) > row.size())
        throw std::out_of_range("cell outside the grid");
    row[static_cast<size_t>(x - 1)] = value;
}

bool GridSurface::RowChangedFlag(int level, int32_t y) const
{
    return Inside(level, y) && rowChanged_[static_cast<size_t>(level - 1) * static_cast<size_t>(height_) +
                                           static_cast<size_t>(y - 1)] != 0;
}

void GridSurface::ClearRecords()
{
    undoCount = 0;
    undo.clear();
    hooks.clear();
    redraws.clear();
    previews.clear();
    status.clear();
    std::fill(rowChanged_.begin(), rowChanged_.end(), 0);
}

void GridSurface::RowChanged(int level, int32_t y)
{
    if (Inside(level, y))
        rowChanged_[static_cast<size_t>(level - 1) * static_cast<size_t>(height_) + static_cast<size_t>(y - 1)] = 1;
}

void GridSurface::SaveUndo(int level, int32_t y, int32_t x0, std::span<const uint8_t> bytes)
{
    undoCount += bytes.size();
    if (recordUndo)
        undo.push_back({level, y, x0, {bytes.begin(), bytes.end()}});
}

void GridSurface::CellWritten(int, bool, int32_t x, int32_t y)
{
    if (recordHooks)
        hooks.push_back({x, y});
}

void GridSurface::CellsWritten(int, bool, int32_t x1, int32_t x2, int32_t y)
{
    if (!recordHooks)
        return;
    for (int32_t x = x1; x <= x2; ++x)
        hooks.push_back({x, y});
}

bool GridSurface::SubclassRedraws(int)
{
    return subclassRedraws;
}

void GridSurface::RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (recordRedraws)
        redraws.push_back({x1, y1, x2, y2});
}

void GridSurface::PreviewCell(int32_t x, int32_t y)
{
    if (recordPreviews)
        previews.push_back({x, y});
}

void GridSurface::StatusText(int panel, const std::string& text)
{
    if (recordStatus)
        status.push_back({panel, text});
}
