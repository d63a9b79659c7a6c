#pragma once
// A PaintSurface over N levels of W x H bytes in memory that records what
// the routines ask of the form: for tests, the probe and benchmarks.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pattern/shapes/paint_surface.h"

class GridSurface : public PaintSurface {
public:
    // One record a run of neighbouring cells; undoCount counts the bytes,
    // which is the number of records the form keeps.
    struct UndoRecord {
        int level;
        int32_t y;
        int32_t x0;
        std::vector<uint8_t> bytes;
    };
    struct Point {
        int32_t x;
        int32_t y;
    };
    struct Redraw {
        int32_t x1, y1, x2, y2;
    };
    struct Status {
        int panel;
        std::string text;
    };

    GridSurface(int levels, int32_t width, int32_t height);

    int Levels() const { return levels_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint8_t Cell(int level, int32_t x, int32_t y) const;
    void SetCell(int level, int32_t x, int32_t y, uint8_t value);
    // The level's bytes, row 1 first.
    std::span<uint8_t> Level(int level);
    bool RowChangedFlag(int level, int32_t y) const;
    // Forgets everything recorded and clears the row-changed flags.
    void ClearRecords();

    // What is recorded; each can be switched off.
    bool recordUndo = true;
    bool recordHooks = true;
    bool recordRedraws = true;
    bool recordPreviews = true;
    bool recordStatus = true;
    // What SubclassRedraws answers.
    bool subclassRedraws = false;

    size_t undoCount = 0;  // bytes saved, counted even when records are off
    std::vector<UndoRecord> undo;
    std::vector<Point> hooks;
    std::vector<Redraw> redraws;
    std::vector<Point> previews;
    std::vector<Status> status;

    std::span<uint8_t> Row(int level, int32_t y) override;
    void RowChanged(int level, int32_t y) override;
    void SaveUndo(int level, int32_t y, int32_t x0, std::span<const uint8_t> bytes) override;
    void CellWritten(int level, bool motifIsForeground, int32_t x, int32_t y) override;
    void CellsWritten(int level, bool motifIsForeground, int32_t x1, int32_t x2, int32_t y) override;
    bool SubclassRedraws(int flag) override;
    void RedrawCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void PreviewCell(int32_t x, int32_t y) override;
    void StatusText(int panel, const std::string& text) override;

private:
    bool Inside(int level, int32_t y) const;

    int levels_;
    int32_t width_;
    int32_t height_;
    std::vector<uint8_t> cells_;
    std::vector<uint8_t> rowChanged_;
};
