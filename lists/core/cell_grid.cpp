#include "lists/core/cell_grid.h"

namespace {
Cell CopyBelow(const Cell& above, int rowGap, int pitch = 0)
{
    Cell cell = above;
    cell.row = above.row + 1;
    cell.y = pitch > 0 ? above.y + pitch : above.y + above.height + rowGap;
    cell.hidden = true;
    cell.line = 0;
    cell.LongTag = 0;
    return cell;
}
}  // namespace

void CellGrid::AddColumn(const Cell& rowOne, int rowGap)
{
    ++columns_;
    if (rows_.empty())
        rows_.emplace_back();
    Cell cell = rowOne;
    cell.row = 1;
    cell.column = columns_;
    rows_[0].push_back(cell);
    for (size_t r = 1; r < rows_.size(); ++r)
        rows_[r].push_back(CopyBelow(rows_[r - 1].back(), rowGap));
}

void CellGrid::AddRow(int rowGap, int pitch)
{
    std::vector<Cell> row;
    for (const Cell& above : rows_.back())
        row.push_back(CopyBelow(above, rowGap, pitch));
    rows_.push_back(std::move(row));
}

void CellGrid::SetLongTag(int row, int column, uint32_t value)
{
    At(row, column).LongTag = value;
    if (OnLongTagChanged)
        OnLongTagChanged(row, column);
}
