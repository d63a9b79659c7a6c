#pragma once
// The cells of a list window, rows 1..Rows by columns 1..columns, with
// everything a cell shows; the window mirrors them onto its panels.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class CellAlignment { Left, Right, Centre };

struct Cell {
    int row = 0;
    int column = 0;
    std::string text;  // UTF-8
    uint32_t LongTag = 0;
    int field = 0;  // 0: the cell belongs to no field
    bool readOnly = false;
    bool hidden = true;
    bool symbolMode = false;
    bool bevel = true;
    std::string hint;
    uint32_t textColour = 0x000000;
    uint32_t background = 0xc0c0c0;
    int x = 0, y = 0, width = 0, height = 0;
    CellAlignment alignment = CellAlignment::Left;
    int font = 0;
    // Column 1 only: the list line the row shows (0 before the first redisplay).
    int line = 0;
};

class CellGrid {
public:
    int Rows() const { return static_cast<int>(rows_.size()); }
    int Columns() const { return columns_; }
    bool Contains(int row, int column) const
    {
        return row >= 1 && row <= Rows() && column >= 1 && column <= columns_;
    }
    Cell& At(int row, int column) { return rows_[row - 1][column - 1]; }
    const Cell& At(int row, int column) const { return rows_[row - 1][column - 1]; }

    // A new column: row 1 gets the given cell, later rows a copy below.
    void AddColumn(const Cell& rowOne, int rowGap);
    // A new row copied from the row above it, its top one gap below; with a
    // pitch, every cell pitch pixels below its copy (block layout).
    void AddRow(int rowGap, int pitch = 0);

    // Stores the value and calls the handler, also for an unchanged value.
    void SetLongTag(int row, int column, uint32_t value);
    std::function<void(int row, int column)> OnLongTagChanged;

private:
    int columns_ = 0;
    std::vector<std::vector<Cell>> rows_;
};
