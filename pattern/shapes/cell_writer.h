#pragma once
// The per-cell write of the painters: undo first when asked, then the write
// mode, then the row-changed flag and the cell hook. Neighbouring cells of a
// row are gathered and handed to the surface together; a read through
// Read() sees every write made before it.
#include <cstdint>
#include <span>

#include "pattern/shapes/paint_state.h"
#include "pattern/shapes/paint_surface.h"

enum class WriteMode : uint8_t {
    Always,          // the caller has decided
    Rule,            // not when T[new] or P[old]
    OverBackground,  // the rule, and only over the background or a transparent colour
    Exchange,        // as OverBackground; else the foreground becomes the background
};

class CellWriter {
public:
    // usePattern: paint with the fill pattern when the motif is the foreground.
    CellWriter(PaintSurface& surface, const PaintState& state, bool usePattern = true);
    ~CellWriter();
    CellWriter(const CellWriter&) = delete;
    CellWriter& operator=(const CellWriter&) = delete;

    // Cells outside the picture, or of a row the level does not hold, are
    // left alone.
    void Write(int64_t x, int64_t y, bool undo, WriteMode mode);
    // Columns x1..x2 of row y at once.
    void WriteRun(int64_t x1, int64_t x2, int64_t y, bool undo, WriteMode mode);
    // The current level's byte, or -1 outside.
    int Read(int64_t x, int64_t y);
    void Flush();

private:
    uint8_t Colour(int32_t x, int32_t y) const;
    void WriteCells(int32_t y, int32_t first, int32_t last, bool undo, WriteMode mode);
    bool Allows(WriteMode mode, uint8_t c, uint8_t o, uint8_t& result) const;

    PaintSurface& surface_;
    const PaintState& state_;
    int level_;
    bool usePattern_;
    bool anyProtected_;
    // The run gathered so far.
    bool pending_ = false;
    int32_t y_ = 0;
    int32_t first_ = 0;
    int32_t last_ = 0;
    int direction_ = 0;
    bool undo_ = false;
    WriteMode mode_ = WriteMode::Always;
};
