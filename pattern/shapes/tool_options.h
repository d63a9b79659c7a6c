#pragma once
// What the buttons of the tool option pop-ups stand for, apart from their
// windows, so that the windows and the probe write the painting unit's
// settings through one table.
#include <array>
#include <cstdint>

#include "pattern/shapes/shape_settings.h"

enum class ToolOption { Slope, LineType, LineWidth, Outline, InsertDelete };

// How many buttons the option's pop-up shows.
int ToolOptionButtonCount(ToolOption option);

// The slope window's button i (1..16) in a 4 x 4 grid, row by row: its
// caption and tag, 10 x (column + 1) + (row + 1), so the first row reads
// 11, 21, 31, 41 and the last 14, 24, 34, 44.
int SlopeTag(int button);

// Writes what a button stands for: the slope window's buttons by their tag
// (11..44), the others by their number from 1, left to right, the
// insert/delete window's upper row first. False, with nothing written, for a
// button the window does not have.
bool ApplyToolOption(ShapeSettings& settings, ToolOption option, int button);

struct InsertDeleteButton {
    const char* hint;  // UTF-8, the German key
    uint16_t code;     // 1..4, plus 8 for the same within the motif
};
// The insert/delete window's eight buttons, upper row first.
const std::array<InsertDeleteButton, 8>& InsertDeleteButtons();

// The outline modes of the outline window's buttons, left to right.
inline constexpr std::array<uint16_t, 5> kOutlineModes{5, 1, 2, 4, 3};
