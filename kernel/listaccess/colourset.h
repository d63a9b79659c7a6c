#pragma once
// Colour sets: a u32 whose bit i stands for symbol character i + 1 of the
// work record's symbol string. In blocks they travel as their letters.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The letters of the set, in symbol order (at most 32 characters).
std::string ColourSetToText(uint32_t set);
// The same letters as a ShortString at off of buf, cut to cap characters:
// the bytes WriteShortString (buf, off, cap, ColourSetToText (set)) writes,
// without the text in between.
void ColourSetToShortString(uint32_t set, uint8_t* buf, size_t off, size_t cap);
// Bit i is set when symbol character i + 1 occurs anywhere in text; other
// characters are ignored.
uint32_t TextToColourSet(std::string_view text);
