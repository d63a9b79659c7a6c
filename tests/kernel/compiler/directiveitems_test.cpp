// The item parsers of the list directives: the blocks they fill.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/compiler/directiveitems.h"

namespace {
std::string Data(const ProgramCommandBlock& b, size_t from, size_t to)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (size_t i = from; i < to; ++i) {
        if (i > from)
            out += ' ';
        out += digits[b.b[i] >> 4];
        out += digits[b.b[i] & 15];
    }
    return out;
}
}  // namespace

TEST(DirectiveItems, RackingItems)
{
    ProgramCommandBlock b;
    ASSERT_EQ(DirectiveItems::Racking("R5,L,UH,JV,V3,CORR_L-7,CORR_R8,DEHN200,SPEED50", b), 0);
    // racking -5, code 3, flag, course 3, corrections, stretch, speed
    EXPECT_EQ(Data(b, 9, 17), "fb 03 01 03 f9 08 c8 32");
    b = {};
    ASSERT_EQ(DirectiveItems::Racking("L7,G,U2", b), 0);
    EXPECT_EQ(Data(b, 9, 17), "f9 02 00 01 00 00 00 64");
    b = {};
    ASSERT_EQ(DirectiveItems::Racking("L-7", b), 0);
    EXPECT_EQ(b.U8(9), 7);

    struct Bad {
        const char* value;
        int32_t code;
    };
    for (const Bad& c : {Bad{"R128", 1401}, Bad{"L129", 1401}, Bad{"CORR_L200", 1403}, Bad{"DEHN256", 1404},
                         Bad{"SPEED-1", 1405}, Bad{"V256", 1406}, Bad{"R", 404}, Bad{"RX", 404}, Bad{"U3", 404},
                         Bad{"R3,,U1", 404}, Bad{"CORR_X5", 404}, Bad{"Q", 404}}) {
        ProgramCommandBlock x;
        EXPECT_EQ(DirectiveItems::Racking(c.value, x), c.code) << c.value;
    }
}

TEST(DirectiveItems, NeedleDivisionItems)
{
    ProgramCommandBlock b;
    ASSERT_EQ(DirectiveItems::NeedleDivision("N5,-10,C3", b), 0);
    EXPECT_EQ(Data(b, 9, 18), "01 05 00 f6 ff 04 00 03 00");
    b = {};
    ASSERT_EQ(DirectiveItems::NeedleDivision("Q5", b), 0);
    EXPECT_EQ(b.U8(9), 99);  // refused by the list with its code
    b = {};
    ASSERT_EQ(DirectiveItems::NeedleDivision("X1,0,Z2", b), 0);
    EXPECT_EQ(b.U8(14), 99);
    ProgramCommandBlock x;
    EXPECT_EQ(DirectiveItems::NeedleDivision("X", x), 404);
    EXPECT_EQ(DirectiveItems::NeedleDivision("X1,A", x), 404);
    EXPECT_EQ(DirectiveItems::NeedleDivision("X1,40000", x), 1603);
    EXPECT_EQ(DirectiveItems::NeedleDivision("X1,0,D70000", x), 1605);
}

TEST(DirectiveItems, SchemeSequenceKindI)
{
    ProgramCommandBlock b;
    ASSERT_EQ(DirectiveItems::SchemeSequence("I1,0,W3,N10,0,*[AB]", '*', b), 0);
    EXPECT_EQ(b.U8(9), 2);
    EXPECT_EQ(b.Text(34, 32), "AB");
    EXPECT_EQ(b.U8(67), 1);
    b = {};
    ASSERT_EQ(DirectiveItems::SchemeSequence("I1,0,W3,N10,0,[AB]", '*', b), 0);
    EXPECT_EQ(b.U8(67), 0);
    ProgramCommandBlock x;
    EXPECT_EQ(DirectiveItems::SchemeSequence("I1,0,W3,N10,0,[" + std::string(33, 'A') + "]", '*', x), 404);
    EXPECT_EQ(DirectiveItems::SchemeSequence("Z1,0,W3,N10,0,70000", '*', x), 1910);
    EXPECT_EQ(DirectiveItems::SchemeSequence("Z1,0,W3,N10,X", '*', x), 404);
    EXPECT_EQ(DirectiveItems::SchemeSequence("Z", '*', x), 404);
}

TEST(DirectiveItems, DensityItems)
{
    std::vector<ProgramCommandBlock> blocks;
    ASSERT_EQ(DirectiveItems::Densities("D10W20[V],W5", false, blocks), 0);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(Data(blocks[0], 12, 23), "00 00 0a 00 02 00 14 00 01 01 56");
    EXPECT_EQ(Data(blocks[1], 12, 21), "02 00 05 00 02 00 05 00 00");
    blocks.clear();
    ASSERT_EQ(DirectiveItems::Densities("D10W20", true, blocks), 0);
    EXPECT_EQ(blocks[0].U8(16), 3);
    EXPECT_EQ(blocks[0].U16(18), 20);
    blocks.clear();
    ASSERT_EQ(DirectiveItems::Densities("X10", false, blocks), 0);
    EXPECT_EQ(blocks[0].U8(12), 99);
    blocks.clear();
    EXPECT_EQ(DirectiveItems::Densities("D", false, blocks), 404);
    EXPECT_EQ(DirectiveItems::Densities("D1W", false, blocks), 404);
    EXPECT_EQ(DirectiveItems::Densities("D1Q", false, blocks), 404);
    EXPECT_EQ(DirectiveItems::Densities("D70000", false, blocks), 1202);
    EXPECT_EQ(DirectiveItems::Densities("D1W70000", false, blocks), 1204);
}

TEST(DirectiveItems, CarrierValues)
{
    ProgramCommandBlock b;
    int32_t exchange = 0;
    ASSERT_EQ(DirectiveItems::Carrier("", b, exchange), 0);
    EXPECT_EQ(b.U8(11), ' ');
    EXPECT_EQ(exchange, -1);
    EXPECT_EQ(Data(b, 14, 18), "00 80 00 80");
    b = {};
    ASSERT_EQ(DirectiveItems::Carrier("N,-9,4", b, exchange), 0);
    EXPECT_EQ(Data(b, 14, 18), "00 80 f7 ff");
    EXPECT_EQ(b.I16(28), -9);
    EXPECT_EQ(exchange, 4);
    EXPECT_EQ(DirectiveItems::Carrier("N,300", b, exchange), 2004);
    EXPECT_EQ(DirectiveItems::Carrier("N,+40000", b, exchange), 2006);
    EXPECT_EQ(DirectiveItems::Carrier("N5X", b, exchange), 404);
}
