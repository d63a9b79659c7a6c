#include <gtest/gtest.h>

#include <fstream>

#include "kernel/model/bytes.h"
#include "picture/core/bmp8_file.h"
#include "tests/support/test_env.h"

namespace {

Bmp8 Picture(int w, int h)
{
    Bmp8 p;
    p.width = w;
    p.height = h;
    for (int i = 0; i < 256; ++i)
        p.colours[i] = 0xff000000u | (i << 16) | ((255 - i) << 8) | (i / 2);
    for (int i = 0; i < w * h; ++i)
        p.pixels.push_back(static_cast<uint8_t>(i * 7));
    return p;
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(Bmp8, WritesAnUncompressedBottomUpFile)
{
    const std::string path = TestHome() + "Clip.bmp";
    ASSERT_EQ(WriteBmp8(path, Picture(3, 2)), "");
    const std::string b = Bytes(path);
    const auto* u = reinterpret_cast<const uint8_t*>(b.data());
    ASSERT_EQ(b.size(), 14u + 40 + 1024 + 2 * 4);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(get_u32(u, 2), b.size());
    EXPECT_EQ(get_u32(u, 10), 1078u);
    EXPECT_EQ(get_i32(u, 18), 3);
    EXPECT_EQ(get_i32(u, 22), 2);
    EXPECT_EQ(get_u16(u, 28), 8);
    EXPECT_EQ(get_u32(u, 30), 0u);
    EXPECT_EQ(get_u32(u, 46), 0u);
    // Entry 1 as blue, green, red, 0.
    EXPECT_EQ(get_u32(u, 54 + 4), 0x0001fe00u);
    // The bottom line (top line 1: 21, 28, 35) comes first, padded to 4.
    EXPECT_EQ(b.substr(1078), std::string("\x15\x1c\x23\0\0\x07\x0e\0", 8));
}

TEST(Bmp8, RoundTripAndTopDownFiles)
{
    const std::string path = TestHome() + "Round.bmp";
    const Bmp8 p = Picture(5, 4);
    ASSERT_EQ(WriteBmp8(path, p), "");
    Bmp8 back;
    std::string error;
    ASSERT_TRUE(ReadBmp8(path, back, error)) << error;
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 4);
    EXPECT_EQ(back.pixels, p.pixels);
    EXPECT_EQ(back.colours, p.colours);

    // A negative height stores the top line first; a later pixel offset
    // and a short colour table are honoured.
    std::string b = Bytes(path);
    auto* u = reinterpret_cast<uint8_t*>(b.data());
    put_i32(u, 22, -4);
    put_u32(u, 46, 2);
    put_u32(u, 10, 1078 + 4);
    std::string pixels;
    for (int y = 0; y < 4; ++y)
        pixels += std::string(reinterpret_cast<const char*>(p.Line(y)), 5) + std::string(3, '\0');
    b = b.substr(0, 1078) + "pad!" + pixels;
    WriteTestFile(TestHome() + "TopDown.bmp", b);
    ASSERT_TRUE(ReadBmp8(TestHome() + "TopDown.bmp", back, error)) << error;
    EXPECT_EQ(back.pixels, p.pixels);
    EXPECT_EQ(back.colours[1], p.colours[1]);
    EXPECT_EQ(back.colours[2], 0xff000000u);
}

TEST(Bmp8, RefusesWhatItCannotRead)
{
    const std::string path = TestHome() + "Good.bmp";
    ASSERT_EQ(WriteBmp8(path, Picture(4, 3)), "");
    const std::string good = Bytes(path);
    struct Case {
        const char* name;
        size_t offset;
        int bytes;
        int64_t value;
        const char* why;
    } cases[] = {
        {"compressed", 30, 4, 1, "compressed"},     {"depth", 28, 2, 16, "8-bit"},
        {"zero width", 18, 4, 0, "zero size"},      {"zero height", 22, 4, 0, "zero size"},
        {"too wide", 18, 4, 2001, "too large"},     {"too high", 22, 4, 30001, "too large"},
        {"pixels past the end", 10, 4, 2000, "ends"}, {"signature", 0, 2, 0x4141, "not a BMP"},
    };
    for (const Case& c : cases) {
        std::string b = good;
        auto* u = reinterpret_cast<uint8_t*>(b.data());
        if (c.bytes == 2)
            put_u16(u, c.offset, static_cast<uint16_t>(c.value));
        else
            put_u32(u, c.offset, static_cast<uint32_t>(c.value));
        WriteTestFile(TestHome() + "Bad.bmp", b);
        Bmp8 p;
        std::string error;
        EXPECT_FALSE(ReadBmp8(TestHome() + "Bad.bmp", p, error)) << c.name;
        EXPECT_NE(error.find(c.why), std::string::npos) << c.name << ": " << error;
    }
    WriteTestFile(TestHome() + "Short.bmp", good.substr(0, good.size() - 1));
    Bmp8 p;
    std::string error;
    EXPECT_FALSE(ReadBmp8(TestHome() + "Short.bmp", p, error));
    EXPECT_FALSE(ReadBmp8(TestHome() + "None.bmp", p, error));
}

}  // namespace

namespace {

// 24-bit pictures take their colours as indices in the order of the file
// (the bottom line first); the 256th colour and later ones share index 255.
TEST(Bmp8, ReadsTrueColourInOrderOfOccurrence)
{
    const int w = 300;
    const size_t stride = (3 * w + 3) & ~3;
    std::string b(54 + 2 * stride, '\0');
    auto* u = reinterpret_cast<uint8_t*>(b.data());
    b[0] = 'B';
    b[1] = 'M';
    put_u32(u, 10, 54);
    put_u32(u, 14, 40);
    put_i32(u, 18, w);
    put_i32(u, 22, 2);
    put_u16(u, 26, 1);
    put_u16(u, 28, 24);
    // Bottom line: colours 0..299 as blue, green, red; top line: colour 7 throughout.
    for (int x = 0; x < w; ++x) {
        u[54 + 3 * x] = static_cast<uint8_t>(x);
        u[54 + 3 * x + 1] = static_cast<uint8_t>(x >> 8);
        u[54 + stride + 3 * x] = 7;
    }
    WriteTestFile(TestHome() + "True.bmp", b);
    Bmp8 p;
    std::string error;
    ASSERT_TRUE(ReadBmp8(TestHome() + "True.bmp", p, error)) << error;
    ASSERT_EQ(p.width, w);
    EXPECT_EQ(p.Line(1)[0], 0);
    EXPECT_EQ(p.Line(1)[254], 254);
    EXPECT_EQ(p.Line(1)[255], 255);
    EXPECT_EQ(p.Line(1)[299], 255);
    EXPECT_EQ(p.Line(0)[100], 7);
    EXPECT_EQ(p.colours[7], 0xff000007u);
    EXPECT_EQ(p.colours[254], 0xff0000feu);
    EXPECT_NE(WriteBmp8(TestHome() + "Wide.bmp", Picture(2001, 1)).find("too large"), std::string::npos);
}

}  // namespace

TEST(Bmp8, APipeOrDeviceIsRefusedAtOnce)
{
    for (const std::string& name : NoFilePaths("pipe.bmp")) {
        Bmp8 picture;
        std::string error;
        EXPECT_FALSE(ReadBmp8(name, picture, error)) << name;
        EXPECT_EQ(error, name + ": cannot be opened");
    }
}
