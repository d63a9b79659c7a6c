#pragma once
// The painting form's side of the shape routines: its rows, undo, hooks,
// redraws, preview frames and status bar. Levels are numbered from 1, rows
// and columns from 1 (row 1 at the bottom).
#include <cstdint>
#include <span>
#include <string>

class PaintSurface {
public:
    virtual ~PaintSurface() = default;

    // The picture-width bytes of the level's row; empty where the level holds
    // no such row, and then never read or written.
    virtual std::span<uint8_t> Row(int level, int32_t y) = 0;
    // Bytes of the row were written.
    virtual void RowChanged(int level, int32_t y) = 0;
    // The old bytes of adjacent cells about to be written, the first at
    // offset x0 of the row (column - 1). Keep one length-1 record per byte:
    // the routines hand neighbouring cells over together for speed only.
    virtual void SaveUndo(int level, int32_t y, int32_t x0, std::span<const uint8_t> bytes) = 0;
    // A cell was painted (the symbol layer's hook).
    virtual void CellWritten(int level, bool motifIsForeground, int32_t x, int32_t y);
    // Columns x1..x2 of row y were painted; calls CellWritten for each.
    virtual void CellsWritten(int level, bool motifIsForeground, int32_t x1, int32_t x2, int32_t y);
    // True when the form redrew the picture itself; no redraw follows then.
    virtual bool SubclassRedraws(int flag);
    // Columns x1..x2, rows y1..y2 need drawing again (-1 = all).
    virtual void RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
    // One feedback frame on the cell of a preview.
    virtual void PreviewCell(int32_t x, int32_t y) = 0;
    // Text into a panel of the painting status bar.
    virtual void StatusText(int panel, const std::string& text) = 0;
};
