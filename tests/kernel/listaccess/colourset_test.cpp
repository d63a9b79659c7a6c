// Colour sets and their letters over the work record's symbol string.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kernel/listaccess/colourset.h"
#include "kernel/model/bytes.h"
#include "kernel/model/workrecord.h"

TEST(ColourSetLetters, TextGivesTheBitsOfItsSymbols)
{
    EXPECT_EQ(TextToColourSet("VV"), 0x00000001u);
    EXPECT_EQ(TextToColourSet("NV"), 0x80000001u);
    EXPECT_EQ(TextToColourSet(""), 0u);
    EXPECT_EQ(TextToColourSet("vz!\x01 "), 0u);  // characters of no symbol
    EXPECT_EQ(TextToColourSet(ZrVar.Symbols), 0xffffffffu);
    EXPECT_EQ(TextToColourSet("*O"), 0x6u);
}

TEST(ColourSetLetters, SetGivesItsLettersInSymbolOrder)
{
    EXPECT_EQ(ColourSetToText(0x80000001u), "VN");
    EXPECT_EQ(ColourSetToText(0), "");
    EXPECT_EQ(ColourSetToText(0xffffffffu), ZrVar.Symbols);
    for (uint32_t bit = 0; bit < 32; ++bit) {
        const uint32_t set = 1u << bit;
        EXPECT_EQ(TextToColourSet(ColourSetToText(set)), set);
    }
}

TEST(ColourSetLetters, TheSymbolsComeFromTheWorkRecord)
{
    ZrVar.Symbols = "abc";
    EXPECT_EQ(TextToColourSet("ca"), 0x5u);
    // Bits without a symbol give no letter.
    EXPECT_EQ(ColourSetToText(0xfffffff2u), "b");
    ZrVar.Symbols = std::string(40, 'x') + "y";
    EXPECT_EQ(TextToColourSet("y"), 0u);  // only the first 32 symbols count
}

// The look-up table follows every change of the symbol string, one of the
// same length included, and a symbol that stands twice sets both bits.
TEST(ColourSetLetters, ChangedSymbolsAreLookedUpAnew)
{
    const std::string standard = ZrVar.Symbols;
    EXPECT_EQ(TextToColourSet("V"), 0x1u);
    ZrVar.Symbols[0] = 'Q';  // same length, one letter changed
    EXPECT_EQ(TextToColourSet("V"), 0u);
    EXPECT_EQ(TextToColourSet("Q"), 0x1u);
    ZrVar.Symbols[31] = 'Q';  // the last word of the string
    EXPECT_EQ(TextToColourSet("Q"), 0x80000001u);
    ZrVar.Symbols = "aba";
    EXPECT_EQ(TextToColourSet("a"), 0x5u);
    EXPECT_EQ(TextToColourSet(std::string("\0b", 2)), 0x2u);
    ZrVar.Symbols = std::string("a\0c", 3);  // a NUL symbol is looked for too
    EXPECT_EQ(TextToColourSet(std::string("x\0", 2)), 0x2u);
    ZrVar.Symbols = "";
    EXPECT_EQ(TextToColourSet("abc"), 0u);
    EXPECT_EQ(ColourSetToText(0xffffffffu), "");
    ZrVar.Symbols = standard;
    EXPECT_EQ(TextToColourSet("V"), 0x1u);
}

// The letters written straight into a record are the bytes the text gives.
TEST(ColourSetLetters, LettersInPlaceAsTheText)
{
    for (const std::string& symbols : {std::string(ZrVar.Symbols), std::string("abc"), std::string(40, 'x') + "y"}) {
        ZrVar.Symbols = symbols;
        for (uint32_t set : {0u, 1u, 0x80000001u, 0xffffffffu, 0x12345678u, 0xfffffff2u, 0x55555555u}) {
            for (size_t cap : {size_t{32}, size_t{3}, size_t{0}}) {
                uint8_t text[40];
                uint8_t inPlace[40];
                std::memset(text, 0xCC, sizeof text);
                std::memset(inPlace, 0xCC, sizeof inPlace);
                WriteShortString(text, 2, cap, ColourSetToText(set));
                ColourSetToShortString(set, inPlace, 2, cap);
                EXPECT_EQ(std::memcmp(text, inPlace, sizeof text), 0) << symbols << " " << set << " " << cap;
            }
        }
    }
}
