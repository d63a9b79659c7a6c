#include <gtest/gtest.h>

#include <filesystem>

#include "kernel/model/bytes.h"
#include "pattern/motif/motif_exchange.h"
#include "tests/pattern/motif/motif_files.h"
#include "tests/support/test_env.h"

using namespace motif_files;
using LinesT = std::vector<std::vector<uint8_t>>;

namespace {

const std::string kSentinel = "the motif the caller keeps";

std::string Patched(std::string bytes, size_t offset, const std::string& with)
{
    return bytes.replace(offset, with.size(), with);
}

// PCX files in, the BMP's lines (top first) out.
TEST(PcxToBmp, DecodesRunsPlanesAndPalettes)
{
    const std::string planarHeader = [] {
        std::string h = PcxHeaderBytes(1, 4, 1, 8, 1);
        for (int i = 0; i < 16; ++i)
            h.replace(16 + 3 * i, 3, {char(16 * i), char(15 * i), char(255 - 16 * i)});
        return h;
    }();
    struct Case {
        const char* name;
        std::string file;
        uint8_t defaultColour;
        LinesT lines;
    } cases[] = {
        {"255 is the default colour, C1 C0 is 192", TenByTwoPcx(), 9,
         {{192, 5, 7, 7, 7, 7, 7, 7, 7, 7}, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9}}},
        {"a bare C0 is one pixel 192", PcxHeaderBytes(8, 1, 3, 3, 1) + "\xc0\x05\x3f\x0c" + PPalBytes(), 0,
         {{192, 5, 63}}},
        {"bytes past the width are dropped", PcxHeaderBytes(8, 1, 4, 3, 2) + "\x01\x02\x03\x04\x05\x06\x07\x08\x0c" +
                                                 PPalBytes(), 0, {{1, 2, 3}, {5, 6, 7}}},
        {"a run past the last line is cut", PcxHeaderBytes(8, 1, 2, 2, 1) + "\xc5\x07\x0c" + PPalBytes(), 0, {{7, 7}}},
        {"two planes of two bytes", PcxHeaderBytes(1, 2, 2, 10, 1) + std::string("\xc1\xff\x40\x00\xc0", 5), 0,
         {{1, 1, 1, 1, 1, 1, 1, 1, 2, 3}}},
        {"four planes of one byte", planarHeader + "\xc1\xf0\xc1\xcc\xaa" + std::string(1, '\0'), 0,
         {{7, 3, 5, 1, 6, 2, 4, 0}}},
    };
    for (const Case& c : cases) {
        const std::string in = WriteTestFile(TestHome() + "in.pcx", c.file);
        const std::string out = TestHome() + "out.bmp";
        const ExchangeResult r = PcxToBmp(in, out, c.defaultColour);
        ASSERT_TRUE(r) << c.name << ": " << r.error;
        Bmp8 p;
        std::string error;
        ASSERT_TRUE(ReadBmp8(out, p, error)) << c.name << ": " << error;
        EXPECT_EQ(Lines(p), c.lines) << c.name;
        EXPECT_EQ(r.width, p.width) << c.name;
        EXPECT_EQ(r.height, p.height) << c.name;
        // The resolution fields become pixels per metre.
        EXPECT_EQ(p.xPixelsPerMetre, p.width) << c.name;
    }
    // The last case is planar.
    Bmp8 p;
    std::string error;
    ASSERT_TRUE(ReadBmp8(TestHome() + "out.bmp", p, error));
    EXPECT_EQ(p.colours[3], 0xff302dcfu) << "planar: the header's colours";
    EXPECT_EQ(p.colours[16], 0xffffffffu) << "planar: white past the header's sixteen";
}

TEST(PcxToBmp, WritesTheBmpLayout)
{
    const std::string in = WriteTestFile(TestHome() + "in.pcx", TenByTwoPcx());
    ASSERT_TRUE(PcxToBmp(in, TestHome() + "out.bmp", 9));
    const std::string b = ReadTestFile(TestHome() + "out.bmp");
    ASSERT_EQ(b.size(), 1102u);
    const auto* u = reinterpret_cast<const uint8_t*>(b.data());
    EXPECT_EQ(get_u32(u, 10), 1078u);
    EXPECT_EQ(get_i32(u, 18), 10);
    EXPECT_EQ(get_i32(u, 22), 2);
    EXPECT_EQ(get_i32(u, 38), 10);
    EXPECT_EQ(get_i32(u, 42), 2);
    EXPECT_EQ(b.substr(1078), std::string(10, '\x09') + std::string("\0\0\xc0\x05", 4) + std::string(8, '\x07') +
                                  std::string(2, '\0'));
}

// Everything refused leaves the output byte for byte.
TEST(PcxToBmp, RefusesBadFilesKeepingTheOutput)
{
    const std::string good = TenByTwoPcx();
    std::vector<std::pair<std::string, std::string>> cases = {
        {"0b for the palette marker", Patched(good, 136, "\x0b")},
        {"xmax below xmin", Patched(good, 4, "\x05")},
        {"width 2001", PcxHeaderBytes(8, 1, 2004, 2001, 1)},
        {"height 30001", PcxHeaderBytes(8, 1, 4, 4, 30001)},
        {"bytes per line past the stride", Patched(good, 66, "\x0d")},
        {"no bytes per line", Patched(good, 66, std::string(1, '\0'))},
        {"8 bits in 3 planes", Patched(good, 65, "\x03")},
        {"4 bits a pixel", Patched(good, 3, "\x04")},
        {"1 bit in 9 planes", PcxHeaderBytes(1, 9, 2, 10, 1) + std::string(18, '\0')},
        {"planar line under the width", PcxHeaderBytes(1, 1, 1, 10, 1) + std::string(2, '\0')},
        {"planar line over 256 bytes", PcxHeaderBytes(1, 1, 257, 10, 1) + std::string(257, '\0')},
    };
    for (size_t cut = 10; cut < good.size(); cut += 10)
        cases.emplace_back("cut after " + std::to_string(cut), good.substr(0, cut));
    const std::string out = WriteTestFile(TestHome() + "out.bmp", kSentinel);
    for (const auto& [name, bytes] : cases) {
        const ExchangeResult r = PcxToBmp(WriteTestFile(TestHome() + "bad.pcx", bytes), out, 0);
        EXPECT_FALSE(r) << name;
        EXPECT_EQ(r.fault, ExchangeFault::Input) << name;
        EXPECT_EQ(ReadTestFile(out), kSentinel) << name;
    }
    EXPECT_EQ(PcxToBmp(TestHome() + "none.pcx", out, 0).fault, ExchangeFault::Input);
    const ExchangeResult r = PcxToBmp(WriteTestFile(TestHome() + "in.pcx", good), TestHome() + "no/out.bmp", 0);
    EXPECT_EQ(r.fault, ExchangeFault::Output);
    EXPECT_NE(r.error.find("no/out.bmp"), std::string::npos);
}

TEST(WritePcxRun, CountBytesAndLongRuns)
{
    struct Case {
        int32_t count;
        uint8_t value;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {1, 62, {0x3e}},       {1, 63, {0xc1, 0x3f}},  {1, 0xc0, {0xc1, 0xc0}},
        {2, 5, {0xc2, 5}},     {63, 1, {0xff, 1}},     {64, 1, {0xff, 1, 1}},
        {126, 9, {0xff, 9, 0xff, 9}}, {130, 7, {0xff, 7, 0xff, 7, 0xc4, 7}}, {0, 7, {}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        WritePcxRun(c.count, c.value, out);
        EXPECT_EQ(out, c.bytes) << c.count << " x " << int(c.value);
    }
}

TEST(BmpToPcx, WritesHeaderRunsAndPalette)
{
    const std::string in = TestHome() + "in.bmp";
    ASSERT_EQ(WriteBmp8(in, Picture({{7, 7, 7, 62, 63}, {0, 0, 200, 200, 200}})), "");
    const std::string out = TestHome() + "out.pcx";
    const ExchangeResult r = BmpToPcx(in, out, 0);
    ASSERT_TRUE(r) << r.error;
    const std::string b = ReadTestFile(out);
    ASSERT_EQ(b.size(), 906u);
    std::string header(128, '\0');
    header.replace(0, 16, "\x0a\x05\x01\x08\0\0\0\0\x04\0\x01\0\x05\0\x02\0", 16);
    header.replace(65, 3, "\x01\x05\0", 3);
    EXPECT_EQ(b.substr(0, 128), header);
    EXPECT_EQ(b.substr(128), std::string("\xc3\x07\x3e\xc1\x3f\xc2\xff\xc3\xc8\x0c") + PPalBytes());
}

// What BmpToPcx writes PcxToBmp reads back, the default colour standing in
// for 255 both ways; a failed write keeps the old file.
TEST(BmpToPcx, RoundTripAndFailures)
{
    LinesT lines(5, std::vector<uint8_t>(37));
    uint32_t seed = 1;
    for (auto& line : lines)
        for (uint8_t& v : line)
            v = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24 & 0xc3);
    lines[2].assign(37, 4);
    ASSERT_EQ(WriteBmp8(TestHome() + "in.bmp", Picture(lines)), "");
    ASSERT_TRUE(BmpToPcx(TestHome() + "in.bmp", TestHome() + "m.pcx", 3));
    ASSERT_TRUE(PcxToBmp(TestHome() + "m.pcx", TestHome() + "back.bmp", 3));
    Bmp8 back;
    std::string error;
    ASSERT_TRUE(ReadBmp8(TestHome() + "back.bmp", back, error));
    EXPECT_EQ(Lines(back), lines);
    EXPECT_EQ(back.colours, PPal());

    std::string rle = ReadTestFile(TestHome() + "in.bmp");
    rle[30] = 1;
    std::string past = ReadTestFile(TestHome() + "in.bmp");
    put_u32(reinterpret_cast<uint8_t*>(past.data()), 10, static_cast<uint32_t>(past.size()));
    const std::string out = WriteTestFile(TestHome() + "out.pcx", kSentinel);
    for (const std::string& bytes : {rle, past, std::string("BM")}) {
        EXPECT_EQ(BmpToPcx(WriteTestFile(TestHome() + "bad.bmp", bytes), out, 0).fault, ExchangeFault::Input);
        EXPECT_EQ(ReadTestFile(out), kSentinel);
    }
    EXPECT_EQ(BmpToPcx(TestHome() + "in.bmp", TestHome() + "no/out.pcx", 0).fault, ExchangeFault::Output);
}

}  // namespace

TEST(MotifExchange, APipeOrDeviceIsNoPcxFile)
{
    for (const std::string& name : NoFilePaths("pipe.pcx"))
        EXPECT_FALSE(PcxToBmp(name, TestHome() + "out.bmp", 9)) << name;
}
