#pragma once
// The 10 x 10 glyphs that show cell values as characters. Glyph k draws the
// k-th character of kGlyphAlphabet; byte c x 10 + r is column c (0 = left)
// and row r (0 = bottom): 1 background, 0 ink. Ink stays within columns 1-6
// and rows 1-7, so a glyph reads whole in cells of 8 to 10 pixels and never
// touches the grid line.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kGlyphAlphabet =
    " abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890!\"$%&/\\()=?+*~#.:-,;<>|^";
inline constexpr int kGlyphCount = 87;
static_assert(kGlyphAlphabet.size() == kGlyphCount);

using Glyph = std::array<uint8_t, 100>;
// Entry v: the glyph of cell value v.
using GlyphTable = std::array<const Glyph*, 256>;

const std::array<Glyph, kGlyphCount>& SymbolGlyphs();
// Every entry the blank glyph.
GlyphTable BlankGlyphTable();
// Cell value v shows the v-th character of the text (only the first 256
// count); characters outside the alphabet, and values past the text, blank.
void BuildSymbolTextMap(GlyphTable& table, std::string_view symbolText);
