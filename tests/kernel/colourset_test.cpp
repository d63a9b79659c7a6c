// Colour sets and their letters over the work record's symbol string.
#include <gtest/gtest.h>

#include <string>

#include "kernel/listaccess/colourset.h"
#include "kernel/workrecord.h"

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
