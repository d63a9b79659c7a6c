// The knitting scheme list handler: every field group read and written,
// its checks, the partial writes it keeps, and the system addressing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/zlistaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ZList : public testing::Test {
protected:
    void SetUp() override { ZrVar.Systems = 6; }

    static ProgramCommandBlock Block(uint8_t selector, uint16_t line = 1, uint8_t system = 0)
    {
        ProgramCommandBlock b;
        b.SetCode(1);
        b.SetLine(line);
        b.SetSelector(selector);
        b.SetSystemByte(system);
        return b;
    }
    static uint16_t Write(ProgramCommandBlock& b) { return accessZList(b, 1); }
    static uint16_t Read(ProgramCommandBlock& b) { return accessZList(b, 0); }
    static uint8_t* Line(uint16_t i = 1) { return ZListe->GetLine(i); }
    static Bytes LineBytes(uint16_t i = 1)
    {
        const uint8_t* p = Line(i);
        return Bytes(p, p + kZLineSize);
    }
    static std::vector<size_t> Changed(const Bytes& a, const Bytes& b)
    {
        std::vector<size_t> out;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                out.push_back(i);
        return out;
    }
};

using Offsets = std::vector<size_t>;

}  // namespace

TEST_F(ZList, LineFieldIsCheckedFirst)
{
    for (uint16_t line : {0, 10000, 65535}) {
        ProgramCommandBlock b = Block('=', line);
        b.SetU16(10, 5);
        EXPECT_EQ(Write(b), zerr::kBadListNumber);
        EXPECT_EQ(Read(b), zerr::kBadListNumber);
        EXPECT_EQ(accessZList(b, 5), zerr::kBadListNumber);
    }
    EXPECT_EQ(ZListe->Count(), 0);
    ProgramCommandBlock b = Block('=', 9999);
    EXPECT_EQ(Read(b), 0);
    EXPECT_EQ(ZListe->Count(), 9999);
}

TEST_F(ZList, TakeDown)
{
    ProgramCommandBlock b = Block('=');
    b.SetU8(9, 1);
    b.SetU16(10, 500);
    EXPECT_EQ(Write(b), 0);
    EXPECT_EQ(Bytes(Line(), Line() + 4), (Bytes{1, 0, 0, 0}));

    struct Case {
        uint8_t mode;
        uint16_t value, result;
    } cases[] = {
        {0, 1, 0},     {0, 9999, 0},  {0, 0, 1102},   {0, 10000, 1102}, {2, 0, 0},
        {2, 100, 0},   {2, 101, 1102}, {3, 1, 0},     {3, 0, 1102},     {3, 9999, 0},
        {3, 10000, 1102}, {4, 5, 1101}, {255, 5, 1101},
    };
    for (const Case& c : cases) {
        Line()[0] = 9;
        put_u16(Line(), 2, 4321);
        b.SetU8(9, c.mode);
        b.SetU16(10, c.value);
        EXPECT_EQ(Write(b), c.result) << int(c.mode) << " " << c.value;
        // A failing value is not stored, in every mode.
        EXPECT_EQ(Line()[0], c.result ? 9 : c.mode);
        EXPECT_EQ(get_u16(Line(), 2), c.result ? 4321 : c.value);
    }
    // 16383 means "not given": nothing is written, not even a bad mode.
    b.SetU8(9, 7);
    b.SetU16(10, 16383);
    EXPECT_EQ(Write(b), 0);
    EXPECT_EQ(Line()[0], 9);

    Line()[0] = 2;
    put_u16(Line(), 2, 55);
    ProgramCommandBlock r = Block('=');
    EXPECT_EQ(Read(r), 0);
    EXPECT_EQ(r.U8(9), 2);
    EXPECT_EQ(r.U16(10), 55);
}

TEST_F(ZList, SpeedIsStoredBeforeItIsChecked)
{
    ProgramCommandBlock b = Block('>');
    b.SetU8(9, 5);
    b.SetU16(10, 20);
    EXPECT_EQ(Write(b), zerr::kZSpeedMode);
    EXPECT_EQ(Line()[4], 5);
    EXPECT_EQ(get_u16(Line(), 6), 20);

    struct Case {
        uint8_t mode;
        uint16_t value, result;
    } cases[] = {{0, 1, 0},   {0, 9999, 0}, {0, 10000, 1104}, {1, 0, 0},
                 {1, 101, 1104}, {2, 255, 0}, {2, 256, 1104}};
    for (const Case& c : cases) {
        b.SetU8(9, c.mode);
        b.SetU16(10, c.value);
        EXPECT_EQ(Write(b), c.result);
        EXPECT_EQ(Line()[4], c.mode);
        EXPECT_EQ(get_u16(Line(), 6), c.value);
    }
    // Mode 0 with 0 or 16383: nothing written.
    for (uint16_t v : {0, 16383}) {
        b.SetU8(9, 0);
        b.SetU16(10, v);
        EXPECT_EQ(Write(b), 0);
        EXPECT_EQ(Line()[4], 2);
        EXPECT_EQ(get_u16(Line(), 6), 256);
    }

    ProgramCommandBlock r = Block('>', 2);
    EXPECT_EQ(Read(r), 0);
    EXPECT_EQ(r.U8(9), 0);
    EXPECT_EQ(r.U16(10), 16383);  // unset reads as "not given"
}

TEST_F(ZList, FlagSelectors)
{
    for (uint8_t sel : {63, 64, 65}) {
        ProgramCommandBlock r = Block(sel);
        EXPECT_EQ(Read(r), 0);
        EXPECT_EQ(r.Selector(), 0);
        ProgramCommandBlock w = Block(sel);
        const Bytes before = LineBytes();
        EXPECT_EQ(Write(w), 0);
        EXPECT_EQ(Changed(before, LineBytes()), Offsets{size_t(8 + sel - 63)});
        r = Block(sel);
        Read(r);
        EXPECT_EQ(r.Selector(), sel);
    }
}

TEST_F(ZList, RackingEntries)
{
    ProgramCommandBlock r = Block('B');
    r.SetU8(9, 1);
    EXPECT_EQ(Read(r), 0);
    EXPECT_EQ(r.Selector(), 0);  // a new line has no racking

    // A step goes into entry 2 when byte 9 is 0.
    ProgramCommandBlock w = Block('B');
    w.SetU8(12, static_cast<uint8_t>(-5));
    w.SetU8(13, 2);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Bytes(Line() + 16, Line() + 20), (Bytes{0, 0, 0xfb, 2}));
    EXPECT_EQ(Line()[14], 0x7f);
    r = Block('B');
    Read(r);
    EXPECT_EQ(r.Selector(), 'B');
    EXPECT_EQ(r.U16(10), 0);
    EXPECT_EQ(static_cast<int8_t>(r.U8(12)), -5);
    EXPECT_EQ(r.U8(13), 2);

    // A reference into entry 1 clears its step and code.
    w = Block('B');
    w.SetU8(9, 1);
    w.SetU16(10, 42);
    w.SetU8(12, 3);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Bytes(Line() + 12, Line() + 16), (Bytes{42, 0, 0, 0}));
    r = Block('B');
    r.SetU8(9, 1);
    r.SetU8(12, 9);
    Read(r);
    EXPECT_EQ(r.U16(10), 42);
    EXPECT_EQ(r.U8(12), 0);
    EXPECT_EQ(r.U8(13), 0);

    // The whole entry is stored, a failing one too.
    w = Block('B');
    w.SetU8(9, 1);
    w.SetU16(10, 10000);
    EXPECT_EQ(Write(w), zerr::kZRackingReference);
    EXPECT_EQ(get_u16(Line(), 12), 10000);
    w = Block('B');
    w.SetU8(12, 29);
    w.SetU8(13, 1);
    EXPECT_EQ(Write(w), zerr::kZRackingStep);
    EXPECT_EQ(Bytes(Line() + 16, Line() + 20), (Bytes{0, 0, 29, 1}));
    w.SetU8(12, static_cast<uint8_t>(-28));
    w.SetU8(13, 4);
    EXPECT_EQ(Write(w), zerr::kZTransferRacking);
    EXPECT_EQ(Bytes(Line() + 16, Line() + 20), (Bytes{0, 0, 0xe4, 4}));
    w.SetU8(12, 0x80);  // -128
    EXPECT_EQ(Write(w), zerr::kZRackingStep);
}

TEST_F(ZList, Clamps)
{
    Line()[24] = 7;
    ProgramCommandBlock w = Block('C');
    w.SetU8(9, 'O');
    w.SetU8(10, '.');
    w.SetU8(11, 'C');
    w.SetU8(12, '.');
    w.SetU16(14, 150);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Bytes(Line() + 20, Line() + 25), (Bytes{1, 0, 2, 0, 7}));
    w.SetU16(14, 0);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[24], 7);
    w.SetU16(14, 99);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[24], 99);
    w.SetU16(14, 256);
    EXPECT_EQ(Write(w), zerr::kZClamp);
    EXPECT_EQ(Line()[24], 99);

    ProgramCommandBlock r = Block('C');
    Read(r);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 9), 4), "O.C.");
    EXPECT_EQ(r.U16(14), 99);

    // Every valid character is stored, an invalid one gives 1123.
    w.SetU8(9, 'C');
    w.SetU8(10, 'x');
    w.SetU8(11, '.');
    w.SetU8(12, 'O');
    w.SetU16(14, 5);
    EXPECT_EQ(Write(w), zerr::kZClamp);
    EXPECT_EQ(Bytes(Line() + 20, Line() + 25), (Bytes{2, 0, 0, 1, 99}));
    // All "." : no value check, nothing more.
    for (size_t i = 9; i <= 12; ++i)
        w.SetU8(i, '.');
    w.SetU16(14, 1000);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[24], 99);
}

TEST_F(ZList, ScissorsAndComb)
{
    ProgramCommandBlock w = Block('D');
    w.SetU8(10, 1);
    w.SetU16(12, 300);
    EXPECT_EQ(Write(w), zerr::kZScissors);
    EXPECT_EQ(Line()[25], 0);
    w.SetU16(12, 200);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[25], 2);
    EXPECT_EQ(Line()[26], 200);
    // Bits are only set here, never cleared.
    w.SetU8(9, 1);
    w.SetU8(10, 0);
    w.SetU16(12, 3);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[25], 3);
    EXPECT_EQ(Line()[26], 3);
    // All zero: nothing written.
    w.SetU8(9, 0);
    w.SetU16(12, 0);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[26], 3);
    ProgramCommandBlock r = Block('D');
    Read(r);
    EXPECT_EQ(r.U8(9), 1);
    EXPECT_EQ(r.U8(10), 1);
    EXPECT_EQ(r.U16(12), 3);

    const char comb[] = " *12";
    for (uint8_t i = 0; i < 4; ++i) {
        w = Block('E');
        w.SetU8(9, static_cast<uint8_t>(comb[i]));
        EXPECT_EQ(Write(w), 0);
        EXPECT_EQ(Line()[27], i);
        r = Block('E');
        Read(r);
        EXPECT_EQ(r.U8(9), comb[i]);
    }
    w.SetU8(9, '3');
    EXPECT_EQ(Write(w), zerr::kZComb);
    EXPECT_EQ(Line()[27], 3);
}

TEST_F(ZList, CarriersOfASystem)
{
    ProgramCommandBlock w = Block('G', 1, 2);
    w.SetU8(9, 1);
    w.SetU16(10, 3);
    EXPECT_EQ(Write(w), 0);
    w.SetU16(10, 8);
    EXPECT_EQ(Write(w), 0);
    const size_t sys2 = zline::System(2);
    EXPECT_EQ(sys2, 116u);
    EXPECT_EQ(Line()[sys2 + 2], 0x84);
    w.SetU16(10, 9);
    EXPECT_EQ(Write(w), zerr::kZCarrier);

    ProgramCommandBlock r = Block('G', 1, 2);
    r.SetU16(10, 3);
    Read(r);
    EXPECT_EQ(r.Selector(), 'G');
    EXPECT_EQ(r.U8(9), 1);
    r = Block('G', 1, 2);
    r.SetU16(10, 4);
    Read(r);
    EXPECT_EQ(r.Selector(), 0);
    r = Block('G', 1, 2);
    r.SetU16(10, 0);  // bit -1: never set
    Read(r);
    EXPECT_EQ(r.Selector(), 0);

    w.SetU8(9, 0);
    w.SetU16(10, 12);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(get_u16(Line(), sys2), 12);
    EXPECT_EQ(Line()[sys2 + 2], 0);
    r = Block('G', 1, 2);
    Read(r);
    EXPECT_EQ(r.U8(9), 0);
    EXPECT_EQ(r.U16(10), 12);
    w.SetU16(10, 0);
    EXPECT_EQ(Write(w), zerr::kZBadPList);
    w.SetU8(9, 2);
    EXPECT_EQ(Write(w), zerr::kZTakeDownValue);
}

TEST_F(ZList, CamSetting)
{
    const size_t cam = zline::Side(1, 0);
    Line()[cam] = 2;
    ProgramCommandBlock w = Block('I', 1, 1);
    w.SetU8(9, 3);
    EXPECT_EQ(Write(w), zerr::kZCamSetting);
    EXPECT_EQ(Line()[cam], 0);
    const uint8_t codes[] = {0, 1, 2, 4, 8};
    for (uint8_t i = 0; i < 5; ++i) {
        w.SetU8(9, codes[i]);
        EXPECT_EQ(Write(w), 0);
        EXPECT_EQ(Line()[cam], i);
        ProgramCommandBlock r = Block('I', 1, 1);
        Read(r);
        EXPECT_EQ(r.U8(9), codes[i]);
    }
    Line()[cam] = 9;  // from a damaged copy
    ProgramCommandBlock r = Block('I', 1, 1);
    Read(r);
    EXPECT_EQ(r.U8(9), 0);
}

TEST_F(ZList, PatternLineModeIsStoredFirst)
{
    const size_t sd = zline::Side(3, 1);
    ProgramCommandBlock w = Block('J', 1, 0x83);
    struct Case {
        uint8_t mode;
        int16_t value;
        uint16_t result;
    } cases[] = {{0, 0, 0},     {0, -1, 1114}, {1, -9999, 0}, {1, -10000, 1114}, {2, 9999, 0},
                 {2, 10000, 1114}, {3, 0, 1114}, {3, 1, 0},     {4, 1, 1113}};
    for (const Case& c : cases) {
        put_i16(Line(), sd + 2, 77);
        w.SetU8(9, c.mode);
        w.SetI16(10, c.value);
        EXPECT_EQ(Write(w), c.result);
        EXPECT_EQ(Line()[sd + 1], c.mode);
        EXPECT_EQ(get_i16(Line(), sd + 2), c.result ? 77 : c.value);
    }
    put_i16(Line(), sd + 2, -20);
    ProgramCommandBlock r = Block('J', 1, 0x83);
    Read(r);
    EXPECT_EQ(r.U8(9), 4);
    EXPECT_EQ(r.I16(10), -20);
}

TEST_F(ZList, DensitiesAreStoredBeforeTheyAreChecked)
{
    const size_t sd = zline::Side(1, 1);
    ProgramCommandBlock w = Block('K', 1, 0x81);
    w.SetU8(9, 1);
    w.SetU8(10, 3);
    w.SetU16(12, 241);
    EXPECT_EQ(Write(w), zerr::kZDensityValue);
    EXPECT_EQ(Line()[sd + 4], 3);
    EXPECT_EQ(get_u16(Line(), sd + 6), 241);
    w.SetU8(9, 0);
    w.SetU8(10, 4);
    w.SetU16(12, 10);
    EXPECT_EQ(Write(w), zerr::kZDensityMode);
    EXPECT_EQ(Line()[sd + 8], 4);
    EXPECT_EQ(get_u16(Line(), sd + 10), 10);
    struct Case {
        uint8_t mode;
        uint16_t value, result;
    } cases[] = {{0, 60000, 0}, {1, 0, 1116}, {1, 9999, 0}, {2, 10000, 1116}, {3, 0, 0}, {3, 240, 0}};
    for (const Case& c : cases) {
        w.SetU8(10, c.mode);
        w.SetU16(12, c.value);
        EXPECT_EQ(Write(w), c.result);
    }
    ProgramCommandBlock r = Block('K', 1, 0x81);
    r.SetU8(9, 1);
    Read(r);
    EXPECT_EQ(r.U8(10), 3);
    EXPECT_EQ(r.U16(12), 241);
}

TEST_F(ZList, NeedleSelectionColourSets)
{
    const size_t set0 = zline::Side(1, 0) + 16;
    ProgramCommandBlock w = Block('N', 1, 1);
    w.SetText("VO", 10, 32);
    EXPECT_EQ(Write(w), 0);
    w.SetText("*", 10, 32);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(get_u32(Line(), set0), 7u);
    ProgramCommandBlock r = Block('N', 1, 1);
    Read(r);
    EXPECT_EQ(r.Text(10, 32), "VO*");
    w.SetText("?", 10, 32);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(get_u32(Line(), set0), 0u);

    // Entry 2, and the upper bytes of the mode word are kept.
    const size_t set2 = set0 + 16;
    Line()[set2 + 5] = 0xAB;
    w.SetU8(9, 2);
    w.SetText("!\x03", 10, 32);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(get_u32(Line(), set2 + 4), 0xAB04u);
    r = Block('N', 1, 1);
    r.SetU8(9, 2);
    Read(r);
    EXPECT_EQ(r.Text(10, 32), std::string("!\x03"));
    // Entries above 2 write nothing.
    const Bytes before = LineBytes();
    w.SetU8(9, 3);
    w.SetText("VONM", 10, 32);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(LineBytes(), before);
}

TEST_F(ZList, NeedleSelectionFixedAndNetModes)
{
    const size_t mode0 = zline::Side(1, 0) + 20;
    ProgramCommandBlock w = Block('N', 1, 1);
    w.SetText(std::string("!\x06") + "B2", 10, 32);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[mode0], 15);
    ProgramCommandBlock r = Block('N', 1, 1);
    Read(r);
    EXPECT_EQ(Bytes(r.data() + 10, r.data() + 15), (Bytes{4, 0x21, 6, 0x42, 0x32}));

    struct Case {
        std::string text;
        uint16_t result;
        uint8_t mode;
    } cases[] = {
        {std::string("!\x00", 2), 0, 1}, {"!\x05", 0, 6}, {"!\x06" "A1", 0, 11}, {"!\x06" "F3", 0, 28},
        {"!\x07", 1119, 28},              {"!x", 1119, 28}, {"!\x06" "G1", 1120, 28},
        {"!\x06" "A4", 1120, 28},          {"!\x06" "A", 1120, 28}, {"!\x06", 1120, 28},
        {"!", 1119, 28},
    };
    for (const Case& c : cases) {
        w.SetText(c.text, 10, 32);
        EXPECT_EQ(Write(w), c.result) << c.text;
        EXPECT_EQ(Line()[mode0], c.mode) << c.text;
    }
    for (uint8_t mode = 0; mode <= 40; ++mode) {
        Line()[mode0] = mode;
        put_u32(Line(), mode0 - 4, 0x3);
        r = Block('N', 1, 1);
        Read(r);
        const std::string text = r.Text(10, 32);
        if (mode >= 1 && mode <= 6)
            EXPECT_EQ(text, std::string(1, '!') + char(mode - 1));
        else if (mode >= 11 && mode <= 28)
            EXPECT_EQ(text.size(), 4u);
        else
            EXPECT_EQ(text, "VO") << int(mode);
    }
}

TEST_F(ZList, NeedleSelectionReadOfAMissingEntryIsNotSet)
{
    ProgramCommandBlock r = Block('N', 1, 1);
    r.SetU8(9, 3);
    r.SetText("keep", 10, 32);
    for (int e : {3, 100, 255}) {
        r.SetSelector('N');
        r.SetU8(9, static_cast<uint8_t>(e));
        EXPECT_EQ(Read(r), 0);
        EXPECT_EQ(r.Selector(), 0);
        EXPECT_EQ(r.Text(10, 32), "keep");
    }
}

TEST_F(ZList, FlagsOfSystemAndSide)
{
    const Bytes before = LineBytes();
    ProgramCommandBlock w = Block('H', 1, 6);
    EXPECT_EQ(Write(w), 0);
    w = Block('L', 1, 0x86);
    EXPECT_EQ(Write(w), 0);
    w = Block('O', 1, 6);
    EXPECT_EQ(Write(w), 0);  // byte 9 and 10 are 0: not set
    w.SetU8(10, 1);
    EXPECT_EQ(Write(w), 0);
    const size_t s6 = zline::System(6);
    EXPECT_EQ(Changed(before, LineBytes()),
              (Offsets{s6 + 3, s6 + 4, zline::Side(6, 1) + 12}));
    EXPECT_EQ(zline::Side(6, 1) + 12, 528u);

    ProgramCommandBlock r = Block('L', 1, 6);
    Read(r);
    EXPECT_EQ(r.Selector(), 0);  // side 0 is not set
    r = Block('O', 1, 6);  // odd line
    Read(r);
    EXPECT_EQ(r.U8(10), 1);
    EXPECT_EQ(r.U8(9), 0);
    r = Block('O', 1, 6);
    Line(2)[s6 + 4] = 1;
    r.SetLine(2);
    Read(r);
    EXPECT_EQ(r.U8(9), 1);
    EXPECT_EQ(r.U8(10), 0);
}

TEST_F(ZList, SideBitAddressesTheSecondSideAndIsKept)
{
    ProgramCommandBlock w = Block('I', 1, 0x81);
    w.SetU8(9, 8);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[76], 4);
    EXPECT_EQ(w.SystemByte(), 0x81);
    EXPECT_EQ(Line()[36], 0);
}

TEST_F(ZList, SystemNumberIsCheckedAgainstTheMachine)
{
    ZrVar.Systems = 2;
    ZListe->GetLine(1);
    const Bytes before = LineBytes();
    for (uint8_t sel : {'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O'}) {
        ProgramCommandBlock w = Block(sel, 1, 3);
        w.SetU8(9, 1);
        w.SetU16(10, 1);
        EXPECT_EQ(Write(w), zerr::kBadSystemNumber) << sel;
        EXPECT_EQ(Read(w), zerr::kBadSystemNumber) << sel;
        w.SetSystemByte(0x80);
        EXPECT_EQ(Write(w), zerr::kBadSystemNumber) << sel;
    }
    EXPECT_EQ(LineBytes(), before);
    // No line comes into existence either.
    ProgramCommandBlock w = Block('I', 50, 3);
    EXPECT_EQ(Write(w), zerr::kBadSystemNumber);
    EXPECT_EQ(ZListe->Count(), 1);

    // A header that claims 200 systems never reaches past the sixth.
    ZrVar.Systems = 200;
    for (uint8_t system : {7, 8, 127, 0xff}) {
        w = Block('N', 1, system);
        w.SetText("V", 10, 32);
        EXPECT_EQ(Write(w), zerr::kBadSystemNumber);
        EXPECT_EQ(Read(w), zerr::kBadSystemNumber);
    }
    w = Block('N', 1, 0x86);
    w.SetText("V", 10, 32);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(get_u32(Line(), zline::Side(6, 1) + 16), 1u);
    // Line-wide selectors ignore the system byte.
    w = Block('E', 1, 9);
    w.SetU8(9, '*');
    EXPECT_EQ(Write(w), 0);
}

TEST_F(ZList, SystemSelectorsComeFromTheWorkRecord)
{
    ZrVar.Systems = 2;
    ZrVar.SystemSelectorSet.reset('I');
    // Out of the set, "I" is not held to the machine's systems ...
    ProgramCommandBlock w = Block('I', 1, 4);
    w.SetU8(9, 1);
    EXPECT_EQ(Write(w), 0);
    EXPECT_EQ(Line()[zline::Side(4, 0)], 1);
    // ... but still needs a system block to address.
    for (uint8_t system : {0, 7, 0x80}) {
        w.SetSystemByte(system);
        EXPECT_EQ(Write(w), zerr::kBadSystemNumber);
    }
    // A line selector put into the set is checked like a system selector.
    ZrVar.SystemSelectorSet.set('E');
    w = Block('E', 1, 3);
    w.SetU8(9, '*');
    EXPECT_EQ(Write(w), zerr::kBadSystemNumber);
    w.SetSystemByte(2);
    EXPECT_EQ(Write(w), 0);
}

TEST_F(ZList, SystemCountSubFunction)
{
    ProgramCommandBlock b = Block(0, 5);
    EXPECT_EQ(accessZList(b, 6), zerr::kBadSystemCount);
    b.SetLine(6);
    EXPECT_EQ(accessZList(b, 6), 0);
    EXPECT_EQ(ZrVar.Systems, 6);
    b.SetLine(0);
    EXPECT_EQ(accessZList(b, 6), zerr::kBadListNumber);
    b.SetLine(10000);
    EXPECT_EQ(accessZList(b, 6), zerr::kBadListNumber);
    b.SetLine(300);
    EXPECT_EQ(accessZList(b, 6), zerr::kBadSystemCount);
    for (uint16_t n : {1, 2, 3, 4}) {
        b.SetLine(n);
        EXPECT_EQ(accessZList(b, 6), 0);
        EXPECT_EQ(ZrVar.Systems, n);
    }
    // The allowed counts are the work record's.
    ZrVar.SystemCounts.reset(4);
    b.SetLine(4);
    EXPECT_EQ(accessZList(b, 6), zerr::kBadSystemCount);
    EXPECT_EQ(ZrVar.Systems, 4);
}

TEST_F(ZList, ReInitialiseAndOtherSubFunctions)
{
    Line(3)[0] = 5;
    ProgramCommandBlock b = Block('=', 3);
    EXPECT_EQ(accessZList(b, 5), 0);
    EXPECT_EQ(Line(3)[0], 0);
    EXPECT_EQ(Line(3)[14], 0x7f);
    EXPECT_EQ(accessZList(b, 5), 0);
    Line(3)[0] = 5;
    const Bytes before = LineBytes(3);
    for (uint8_t sub : {3, 4, 7, 8, 200}) {
        b.SetU16(10, 1);
        EXPECT_EQ(accessZList(b, sub), 0);
    }
    EXPECT_EQ(LineBytes(3), before);
    EXPECT_EQ(ZListe->Count(), 3);
}
