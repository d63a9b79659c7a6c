#pragma once
// Uncompressed 8-bit BMP files of 256 colours: the motif and clipboard
// pictures of the picture windows. Pixel values are palette indices.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Bmp8 {
    static constexpr int32_t kMaxWidth = 2000;
    static constexpr int32_t kMaxHeight = 30000;

    int32_t width = 0;
    int32_t height = 0;
    // Pixels per metre as the file gives them; motifs from PCX files carry
    // the PCX resolution here.
    int32_t xPixelsPerMetre = 0;
    int32_t yPixelsPerMetre = 0;
    // 0xffRRGGBB per index.
    std::array<uint32_t, 256> colours{};
    // Read from a 24-bit file: the colours are the picture's own, gathered
    // while reading, not a palette anyone chose.
    bool trueColour = false;
    // height lines of width bytes, the top line first.
    std::vector<uint8_t> pixels;

    uint8_t* Line(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint8_t* Line(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

// A picture of several levels stacks one block of rows per level, each block
// upright as the level shows it: the line of level k's row r, rows counted
// from the bottom as the pattern counts them.
constexpr int32_t LevelBlockLine(int32_t level, int32_t row, int32_t rows) { return level * rows + rows - 1 - row; }

// Writes through a temporary file renamed into place; an old file stays
// when the write fails. Empty on success, else the reason.
std::string WriteBmp8(const std::string& path, const Bmp8& picture);
// Reads an 8-bit or 24-bit BMP; false with the reason in error when the file
// is missing, compressed, of another depth, of zero size, wider than 2000 or
// higher than 30000 pixels, or ends before its pixels do. The colours of a
// 24-bit picture become indices in the order they first occur in the file;
// those past the 255th all take index 255.
bool ReadBmp8(const std::string& path, Bmp8& picture, std::string& error);
