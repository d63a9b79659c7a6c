// lzw-encode and lzw-decode from outside: python3 makes the inputs and
// reads the codes back with its own reading of the width rule.
#include <gtest/gtest.h>

#include "tests/kernel/pattern/pattern_test_util.h"

namespace {

struct Code {
    int value;
    int width;
};

std::vector<Code> Codes(const std::string& file)
{
    std::string out;
    EXPECT_EQ(Fixture("lzwcodes " + file + " > codes.txt"), 0);
    std::vector<Code> codes;
    for (const auto& line : SplitLines(ReadTestFile(Here("codes.txt")))) {
        Code c{};
        if (sscanf(line.c_str(), "%d %d", &c.value, &c.width) == 2)
            codes.push_back(c);
    }
    return codes;
}

}  // namespace

TEST(LzwProbe, SingleByteAndConstantStrip)
{
    WriteTestFile(Here("a.bin"), "A");
    std::string out;
    ASSERT_EQ(Probe("lzw-encode a.bin a.lzw", &out), 0);
    EXPECT_EQ(out, "OK\n");
    ASSERT_EQ(Shell("xxd -p a.lzw", &out), 0);
    EXPECT_EQ(out, "80106020\n");

    WriteTestFile(Here("c.bin"), std::string(8192, '\x07'));
    ASSERT_EQ(Probe("lzw-encode c.bin c.lzw"), 0);
    EXPECT_EQ(FileSize(Here("c.lzw")), 147);
    const auto codes = Codes("c.lzw");
    ASSERT_EQ(codes.size(), 130u);
    for (const auto& c : codes)
        EXPECT_EQ(c.width, 9);
    EXPECT_EQ(codes.front().value, 256);
    EXPECT_EQ(codes.back().value, 257);
    ASSERT_EQ(Probe("lzw-decode c.lzw c.out --size 8192"), 0);
    EXPECT_EQ(ReadTestFile(Here("c.out")), ReadTestFile(Here("c.bin")));
}

TEST(LzwProbe, NoisyStripPassesCode8191)
{
    ASSERT_EQ(Fixture("seed 5 9001 s.bin"), 0);
    ASSERT_EQ(Probe("lzw-encode s.bin s.lzw"), 0);
    EXPECT_EQ(FileSize(Here("s.lzw")), 12809);
    const auto codes = Codes("s.lzw");
    ASSERT_EQ(codes.size(), 8557u);
    for (size_t i = 0; i <= 254; ++i)
        ASSERT_EQ(codes[i].width, 9) << i;
    EXPECT_EQ(codes[255].width, 10);
    EXPECT_EQ(codes[7935].value, 256);
    EXPECT_EQ(codes[7935].width, 13);
    // The count restarts at 0 behind the clear: 255 codes of 9 bits.
    for (size_t i = 7936; i < 7936 + 255; ++i)
        ASSERT_EQ(codes[i].width, 9) << i;
    EXPECT_EQ(codes[7936 + 255].width, 10);
    EXPECT_EQ(codes.back().value, 257);
    std::string out;
    ASSERT_EQ(Probe("lzw-decode s.lzw s.out --size 9001", &out), 0) << out;
    EXPECT_EQ(ReadTestFile(Here("s.out")), ReadTestFile(Here("s.bin")));

    ASSERT_EQ(Shell("head -c 8192 s.bin > s8.bin"), 0);
    ASSERT_EQ(Probe("lzw-encode s8.bin s8.lzw"), 0);
    EXPECT_EQ(FileSize(Here("s8.lzw")), 11789);
    ASSERT_EQ(Probe("lzw-decode s8.lzw s8.out --size 8192"), 0);
    EXPECT_EQ(ReadTestFile(Here("s8.out")), ReadTestFile(Here("s8.bin")));
}

TEST(LzwProbe, DamagedStreamsGiveStatusNeverMoreBytes)
{
    ASSERT_EQ(Fixture("seed 5 9001 s.bin"), 0);
    ASSERT_EQ(Probe("lzw-encode s.bin s.lzw"), 0);
    // A sample of truncations and bit flips; the unit tests take them all.
    ASSERT_EQ(Shell("python3 -c \"import random\n"
                    "d = open('s.lzw', 'rb').read()\n"
                    "r = random.Random(9)\n"
                    "for i in range(20):\n"
                    "    open('t%d.lzw' % i, 'wb').write(d[:r.randrange(len(d))])\n"
                    "    m = bytearray(d); p = r.randrange(len(d)); m[p] ^= 1 << r.randrange(8)\n"
                    "    open('f%d.lzw' % i, 'wb').write(m)\n\""),
              0);
    for (int i = 0; i < 20; ++i) {
        for (const char* kind : {"t", "f"}) {
            const std::string name = kind + std::to_string(i);
            std::string out;
            const int rc = Probe("lzw-decode " + name + ".lzw " + name + ".out --size 9001", &out);
            EXPECT_TRUE(rc == 0 || rc == 1) << name << " " << rc;
            if (rc == 0)
                EXPECT_EQ(FileSize(Here(name + ".out")), 9001);
            else
                EXPECT_EQ(FileSize(Here(name + ".out")), -1) << name;
        }
    }
    // A cut stream is short: nothing written.
    std::string out;
    ASSERT_EQ(Shell("head -c 6000 s.lzw > cut.lzw"), 0);
    EXPECT_EQ(Probe("lzw-decode cut.lzw x.out --size 9001", &out), 1);
    EXPECT_EQ(out.rfind("ERROR ", 0), 0u) << out;
    EXPECT_EQ(Probe("lzw-decode s.lzw x.out"), 2);
    EXPECT_EQ(Probe("lzw-decode s.lzw x.out --size many"), 2);
}
