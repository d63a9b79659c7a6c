#include <gtest/gtest.h>

#include <set>

#include "kernel/model/workrecord.h"
#include "picture/core/symbol_glyphs.h"

namespace {

const Glyph& GlyphOf(char c)
{
    return SymbolGlyphs()[kGlyphAlphabet.find(c)];
}

TEST(SymbolGlyphs, DrawingsStayInsideTheCellAndDiffer)
{
    const auto& glyphs = SymbolGlyphs();
    ASSERT_EQ(glyphs.size(), 87u);
    EXPECT_EQ(glyphs[0], Glyph{[] {
                  Glyph g;
                  g.fill(1);
                  return g;
              }()});
    std::set<Glyph> seen;
    for (int k = 1; k < kGlyphCount; ++k) {
        int ink = 0;
        for (int c = 0; c < 10; ++c)
            for (int r = 0; r < 10; ++r) {
                const uint8_t b = glyphs[k][c * 10 + r];
                ASSERT_LE(b, 1);
                if (b == 0) {
                    ++ink;
                    EXPECT_TRUE(c >= 1 && c <= 6 && r >= 1 && r <= 7) << kGlyphAlphabet[k] << " " << c << "," << r;
                }
            }
        EXPECT_GT(ink, 0) << kGlyphAlphabet[k];
        EXPECT_TRUE(seen.insert(glyphs[k]).second) << kGlyphAlphabet[k];
    }
    // Rows count upward: the foot of "L" is its lowest inked row, its stem
    // the leftmost column.
    const Glyph& l = GlyphOf('L');
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(l[c * 10 + 1], 0) << c;
    EXPECT_EQ(l[2 * 10 + 7], 1);
    EXPECT_EQ(l[1 * 10 + 7], 0);
}

TEST(SymbolGlyphs, SymbolTextMapsValuesToCharacters)
{
    GlyphTable table = BlankGlyphTable();
    EXPECT_EQ(table[200], &SymbolGlyphs()[0]);

    BuildSymbolTextMap(table, "ab");
    EXPECT_EQ(table[0], &SymbolGlyphs()[1]);
    EXPECT_EQ(table[1], &SymbolGlyphs()[2]);
    for (int v = 2; v < 256; ++v)
        ASSERT_EQ(table[v], &SymbolGlyphs()[0]) << v;

    // The program's own symbol text: 32 characters, the rest blank.
    BuildSymbolTextMap(table, ZrVar.Symbols);
    EXPECT_EQ(table[0], &GlyphOf('V'));
    EXPECT_EQ(table[31], &GlyphOf('N'));
    EXPECT_EQ(table[32], &SymbolGlyphs()[0]);

    // Characters outside the alphabet blank; a long text stops at 256.
    std::string longText(300, 'x');
    longText[1] = '@';
    BuildSymbolTextMap(table, longText);
    EXPECT_EQ(table[0], &GlyphOf('x'));
    EXPECT_EQ(table[1], &SymbolGlyphs()[0]);
    EXPECT_EQ(table[255], &GlyphOf('x'));
}

}  // namespace
