#pragma once
// A motif as the painting form keeps it: palette indices, the top line
// first, and the colours of its bitmap. A motif of several levels stacks
// one block of rows per level, each block upright as the level shows it.
#include <array>
#include <cstdint>
#include <vector>

#include "picture/core/bmp8_file.h"

struct MotifImage {
    int32_t width = 0;
    // All lines: levels times the rows of one level.
    int32_t height = 0;
    int32_t levels = 1;
    std::vector<uint8_t> indices;
    // 0xffRRGGBB per index.
    std::array<uint32_t, 256> colours{};

    // Width and height with every index set to fill.
    static MotifImage Blank(int32_t width, int32_t rows, int32_t levels, uint8_t fill);
    // The picture's lines as levels blocks; a height that does not divide
    // keeps its last lines out of the motif.
    static MotifImage FromBmp(const Bmp8& picture, int32_t levels);
    Bmp8 ToBmp() const;

    int32_t Rows() const { return levels > 0 ? height / levels : 0; }
    uint8_t* Line(int32_t y) { return indices.data() + static_cast<size_t>(y) * width; }
    const uint8_t* Line(int32_t y) const { return indices.data() + static_cast<size_t>(y) * width; }
    // The line of level k's row r, rows counted from the bottom as the
    // pattern counts them.
    uint8_t* LevelRow(int32_t k, int32_t r) { return Line(MotifLevelLine(k, r, Rows())); }

    static int32_t MotifLevelLine(int32_t level, int32_t row, int32_t rows) { return LevelBlockLine(level, row, rows); }
};
