#include "pattern/shapes/cell_writer.h"

#include <algorithm>
#include <cstring>

#include "pattern/shapes/line_painter.h"

CellWriter::CellWriter(PaintSurface& surface, const PaintState& state, bool usePattern)
    : surface_(surface), state_(state), level_(state.currentLevel),
      usePattern_(usePattern && state.motifIsForeground != 0),
      anyProtected_(std::any_of(state.P.begin(), state.P.end(), [](uint8_t p) { return p != 0; }))
{
}

CellWriter::~CellWriter()
{
    Flush();
}

void CellWriter::Write(int64_t x, int64_t y, bool undo, WriteMode mode)
{
    if (x < 1 || x > state_.width || y < 1 || y > state_.height || level_ == 0)
        return;
    const auto cx = static_cast<int32_t>(x);
    const auto cy = static_cast<int32_t>(y);
    if (pending_ && cy == y_ && undo == undo_ && mode == mode_) {
        if (cx == last_ + 1 && direction_ >= 0) {
            last_ = cx;
            direction_ = 1;
            return;
        }
        if (cx == first_ - 1 && direction_ <= 0) {
            first_ = cx;
            direction_ = -1;
            return;
        }
    }
    Flush();
    pending_ = true;
    y_ = cy;
    first_ = last_ = cx;
    direction_ = 0;
    undo_ = undo;
    mode_ = mode;
}

int CellWriter::Read(int64_t x, int64_t y)
{
    Flush();
    if (x < 1 || x > state_.width || y < 1 || y > state_.height)
        return -1;
    std::span<uint8_t> row = surface_.Row(level_, static_cast<int32_t>(y));
    if (row.size() < static_cast<size_t>(x))
        return -1;
    return row[static_cast<size_t>(x - 1)];
}

uint8_t CellWriter::Colour(int32_t x, int32_t y) const
{
    return usePattern_ ? PatternPixel(state_, x, y) : state_.currentColour;
}

bool CellWriter::Allows(WriteMode mode, uint8_t c, uint8_t o, uint8_t& result) const
{
    result = c;
    if (mode == WriteMode::Always)
        return true;
    if (state_.T[c] != 0 || state_.P[o] != 0)
        return false;
    if (mode == WriteMode::Rule)
        return true;
    if (o == state_.backgroundColour || state_.T[o] != 0)
        return true;
    if (mode == WriteMode::Exchange && o == c) {
        result = state_.backgroundColour;
        return true;
    }
    return false;
}

void CellWriter::WriteRun(int64_t x1, int64_t x2, int64_t y, bool undo, WriteMode mode)
{
    Flush();
    x1 = std::max<int64_t>(x1, 1);
    x2 = std::min<int64_t>(x2, state_.width);
    if (x1 > x2 || y < 1 || y > state_.height || level_ == 0)
        return;
    WriteCells(static_cast<int32_t>(y), static_cast<int32_t>(x1), static_cast<int32_t>(x2), undo, mode);
}

void CellWriter::Flush()
{
    if (!pending_)
        return;
    pending_ = false;
    WriteCells(y_, first_, last_, undo_, mode_);
}

void CellWriter::WriteCells(int32_t y, int32_t first, int32_t last, bool undo, WriteMode mode)
{
    std::span<uint8_t> row = surface_.Row(level_, y);
    if (row.size() < static_cast<size_t>(last))
        return;
    const auto offset = static_cast<size_t>(first - 1);
    const auto count = static_cast<size_t>(last - first + 1);
    if (undo)
        surface_.SaveUndo(level_, y, first - 1, row.subspan(offset, count));
    const bool pattern = state_.motifIsForeground != 0;
    const uint8_t colour = state_.currentColour;
    const bool plain = !usePattern_ && (mode == WriteMode::Always || (mode == WriteMode::Rule && !anyProtected_));
    if (plain) {
        if (mode == WriteMode::Rule && state_.T[colour] != 0)
            return;
        std::memset(row.data() + offset, colour, count);
        surface_.CellsWritten(level_, pattern, first, last, y);
        surface_.RowChanged(level_, y);
        return;
    }
    bool changed = false;
    int32_t runStart = 0;
    for (int32_t x = first; x <= last + 1; ++x) {
        uint8_t value = 0;
        const bool write = x <= last && Allows(mode, Colour(x, y), row[static_cast<size_t>(x - 1)], value);
        if (write) {
            row[static_cast<size_t>(x - 1)] = value;
            if (runStart == 0)
                runStart = x;
            continue;
        }
        if (runStart != 0) {
            surface_.CellsWritten(level_, pattern, runStart, x - 1, y);
            changed = true;
            runStart = 0;
        }
    }
    if (changed)
        surface_.RowChanged(level_, y);
}
