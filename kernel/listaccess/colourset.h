#pragma once
// Colour sets: a u32 whose bit i stands for symbol character i + 1 of the
// work record's symbol string. In blocks they travel as their letters.
#include <cstdint>
#include <string>
#include <string_view>

// The letters of the set, in symbol order (at most 32 characters).
std::string ColourSetToText(uint32_t set);
// Bit i is set when symbol character i + 1 occurs anywhere in text; other
// characters are ignored.
uint32_t TextToColourSet(std::string_view text);
