// The strip codec: exact code streams, round trips and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "kernel/pattern/lzwcodec.h"
#include "tests/support/lzw_plain.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The probe's generator: s := s * 1664525 + 1013904223, byte = s >> 24.
Bytes Generated(uint32_t seed, size_t count)
{
    Bytes out(count);
    uint32_t s = seed;
    for (auto& b : out) {
        s = s * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(s >> 24);
    }
    return out;
}

Bytes Compressed(Bytes data)
{
    LzwCompress(data);
    return data;
}

std::string Hex(const Bytes& b)
{
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (uint8_t c : b) {
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

// Reads codes MSB first at the given widths (test-side, for pinning).
uint32_t CodeAt(const Bytes& stream, size_t bitPos, int width)
{
    uint32_t v = 0;
    for (int i = 0; i < width; ++i) {
        const size_t p = bitPos + size_t(i);
        v = (v << 1) | ((stream[p / 8] >> (7 - p % 8)) & 1);
    }
    return v;
}

void ExpectRoundTrip(const Bytes& data)
{
    Bytes b = Compressed(data);
    ASSERT_EQ(LzwDecompress(b, data.size()), LzwStatus::Ok);
    EXPECT_EQ(b, data);
}

}  // namespace

TEST(LzwCodec, KnownStreams)
{
    EXPECT_EQ(Hex(Compressed({0x41})), "80106020");
    // Clear 256 and end 257 at 9 bits, padded with zeros.
    EXPECT_EQ(Hex(Compressed({})), "804040");

    // 8192 equal bytes: clear, 128 growing runs, end: 130 codes of 9 bits.
    const Bytes same(8192, 0x07);
    EXPECT_EQ(Compressed(same).size(), 147u);
    ExpectRoundTrip(same);
    ExpectRoundTrip({0x41});
    ExpectRoundTrip({});
}

TEST(LzwCodec, WidthGrowsByCountAndStaysAtThirteenBits)
{
    const Bytes noise = Generated(5, 9001);
    const Bytes stream = Compressed(noise);
    EXPECT_EQ(stream.size(), 12809u);
    EXPECT_EQ(CodeAt(stream, 0, 9), 256u);
    // Widths 9, 10, 11, 12, 13 start at codes 0, 255, 767, 1791, 3839; code
    // 7935 is the clear at 13 bits, then the widths start again at 9.
    size_t pos = 255 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12 + (7935 - 3839) * 13;
    EXPECT_EQ(CodeAt(stream, pos, 13), 256u);
    pos += 13;
    EXPECT_LT(CodeAt(stream, pos, 9), 256u);
    ExpectRoundTrip(noise);

    const Bytes strip(noise.begin(), noise.begin() + 8192);
    EXPECT_EQ(Compressed(strip).size(), 11789u);
    ExpectRoundTrip(strip);
}

TEST(LzwCodec, EndCodeFollowsAWidthChange)
{
    // 254 bytes without a repeated pair: 254 data codes, so the count
    // reaches 255 with the last one and the end code is 10 bits wide.
    Bytes data(254);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    const Bytes stream = Compressed(data);
    ASSERT_EQ(stream.size(), (255 * 9 + 10 + 7) / 8u);
    EXPECT_EQ(CodeAt(stream, 255 * 9, 10), 257u);
    ExpectRoundTrip(data);
    // One byte less: all 9 bits.
    data.pop_back();
    EXPECT_EQ(Compressed(data).size(), (255 * 9 + 7) / 8u);
    ExpectRoundTrip(data);
}

TEST(LzwCodec, RoundTripsOfManyShapes)
{
    std::mt19937 rng(7);
    for (size_t size : {1u, 2u, 255u, 256u, 511u, 4096u, 8192u, 20000u, 70000u}) {
        for (int colours : {1, 2, 32, 256}) {
            Bytes data(size);
            for (auto& b : data)
                b = static_cast<uint8_t>(rng() % colours);
            SCOPED_TRACE(std::to_string(size) + " bytes, " + std::to_string(colours) + " colours");
            ExpectRoundTrip(data);
        }
    }
    // Long runs make strings of thousands of bytes; KwKwK codes all along.
    Bytes ramp;
    for (int i = 0; i < 300; ++i)
        ramp.insert(ramp.end(), size_t(i) * 7, static_cast<uint8_t>(i));
    ExpectRoundTrip(ramp);
}

TEST(LzwCodec, OutputGrowsAtAnyKindOfCode)
{
    // The output starts at 64 KiB and grows on demand. 195 single bytes and
    // a run of 1 + 2 + ... + 361 zeros end exactly there, so the growth
    // comes at a single byte; a longer run makes it come inside a run.
    for (size_t run : {size_t(65341), size_t(70000)}) {
        Bytes data;
        for (int i = 1; i <= 195; ++i)
            data.push_back(static_cast<uint8_t>(i));
        data.insert(data.end(), run, 0);
        for (int i = 0; i < 3000; ++i)
            data.push_back(static_cast<uint8_t>(i * 7 % 251 + 1));
        Bytes b = Compressed(data);
        EXPECT_EQ(LzwDecompress(b, 200000), LzwStatus::Ok);
        EXPECT_TRUE(b == data) << run;
    }
}

// Strings just shorter and just longer than the decoder keeps whole in its
// table, runs and noise, cut at every byte: what fits stands there.
TEST(LzwCodec, StringsOfEveryLengthCutAtAnyByte)
{
    Bytes data;
    for (int rep = 0; rep < 30; ++rep)
        for (int length : {2, 5, 6, 7, 8, 9, 15, 16, 17, 40})
            for (int i = 0; i < length; ++i)
                data.push_back(static_cast<uint8_t>(length * 5 + i));
    data.insert(data.end(), 700, 9);
    const Bytes noise = Generated(5, 600);
    data.insert(data.end(), noise.begin(), noise.end());
    ExpectRoundTrip(data);
    const Bytes codes = Compressed(data);
    for (size_t cut = 0; cut < data.size(); ++cut) {
        const LzwDecoded d = LzwDecodeStrip(codes.data(), codes.size(), cut);
        ASSERT_EQ(d.status, LzwStatus::Overflow) << cut;
        ASSERT_EQ(d.size, cut);
        ASSERT_TRUE(std::equal(d.data, d.data + cut, data.begin())) << cut;
    }
}

TEST(LzwCodec, DecodingIsBoundedByTheExpectedSize)
{
    const Bytes data = Generated(3, 5000);
    Bytes b = Compressed(data);
    EXPECT_EQ(LzwDecompress(b, 4999), LzwStatus::Corrupt);
    EXPECT_LE(b.size(), 4999u);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), data.begin()));

    b = Compressed(data);
    EXPECT_EQ(LzwDecompress(b, 0), LzwStatus::Corrupt);
    EXPECT_TRUE(b.empty());

    // Fewer bytes than expected is no corruption: the caller decides.
    b = Compressed(data);
    EXPECT_EQ(LzwDecompress(b, 6000), LzwStatus::Ok);
    EXPECT_EQ(b, data);
}

TEST(LzwCodec, CorruptCodesAreReported)
{
    // Clear, 'A', then 293: above the next free code 258.
    Bytes b = {0x80, 0x10, 0x64, 0xB0, 0x00};
    EXPECT_EQ(LzwDecompress(b, 100), LzwStatus::Corrupt);
    EXPECT_EQ(b, Bytes{0x41});

    // Clear, then 258 as the first code: no single byte.
    b = {0x80, 0x40, 0x80};
    EXPECT_EQ(LzwDecompress(b, 100), LzwStatus::Corrupt);
    EXPECT_TRUE(b.empty());

    // Clear, clear.
    b = {0x80, 0x40, 0x00};
    EXPECT_EQ(LzwDecompress(b, 100), LzwStatus::Corrupt);

    // Only the end code, or nothing at all: empty and fine.
    b = {0x80, 0x80};
    EXPECT_EQ(LzwDecompress(b, 100), LzwStatus::Ok);
    EXPECT_TRUE(b.empty());
    b = {};
    EXPECT_EQ(LzwDecompress(b, 100), LzwStatus::Ok);
    EXPECT_TRUE(b.empty());
}

// Hostile streams: never a crash, never more than 9001 bytes (the sanitizer
// build watches every access).
namespace {

void ExpectBounded(Bytes b)
{
    const LzwStatus s = LzwDecompress(b, 9001);
    EXPECT_TRUE(s == LzwStatus::Ok || s == LzwStatus::Corrupt);
    ASSERT_LE(b.size(), 9001u);
}

const Bytes& Check2Stream()
{
    static const Bytes stream = Compressed(Generated(5, 9001));
    return stream;
}

// Every single-bit flip of bytes [from, to) of the 12,809-byte stream.
void FlipRange(size_t from, size_t to)
{
    const Bytes& stream = Check2Stream();
    to = std::min(to, stream.size());
    Bytes b;
    for (size_t i = from; i < to; ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            b = stream;
            b[i] ^= static_cast<uint8_t>(1 << bit);
            ExpectBounded(b);
            if (testing::Test::HasFatalFailure())
                return;
        }
    }
}

}  // namespace

TEST(LzwCodecHostile, RandomStrings)
{
    std::mt19937 rng(42);
    for (int i = 0; i < 10000; ++i) {
        Bytes b(rng() % 400);
        for (auto& c : b)
            c = static_cast<uint8_t>(rng());
        // Half of them start with a proper clear code.
        if (i % 2 && b.size() >= 2) {
            b[0] = 0x80;
            b[1] &= 0x7F;
        }
        ExpectBounded(b);
        if (HasFatalFailure())
            return;
    }
}

TEST(LzwCodecHostile, EveryTruncation)
{
    const Bytes& stream = Check2Stream();
    for (size_t n = 0; n <= stream.size(); ++n) {
        ExpectBounded(Bytes(stream.begin(), stream.begin() + static_cast<long>(n)));
        if (HasFatalFailure())
            return;
    }
}

// The flips run as four cases so that ctest can spread them.
TEST(LzwCodecHostile, EveryBitFlipPart1) { FlipRange(0, 3300); }
TEST(LzwCodecHostile, EveryBitFlipPart2) { FlipRange(3300, 6600); }
TEST(LzwCodecHostile, EveryBitFlipPart3) { FlipRange(6600, 9900); }
TEST(LzwCodecHostile, EveryBitFlipPart4) { FlipRange(9900, 13200); }

namespace {

void ExpectAsThePlainRules(const Bytes& codes, size_t expected)
{
    const lzw_plain::Decoded want = lzw_plain::Decode(codes.data(), codes.size(), expected);
    const LzwDecoded got = LzwDecodeStrip(codes.data(), codes.size(), expected);
    ASSERT_EQ(got.status, want.status);
    ASSERT_EQ(Bytes(got.data, got.data + got.size), want.out);
}

}  // namespace

TEST(LzwCodecHostile, DecodesAsThePlainRulesSay)
{
    std::mt19937 rng(9);
    Bytes bands, ramp, colours32(9000);
    for (int i = 0; i < 8000; ++i)
        bands.push_back(static_cast<uint8_t>(i / 1024));
    for (int i = 1; i < 40; ++i)
        ramp.insert(ramp.end(), size_t(i) * 9, static_cast<uint8_t>(i % 3));
    for (auto& b : colours32)
        b = static_cast<uint8_t>(rng() % 32);
    // Noise of 20000 bytes clears its table twice in the middle.
    const Bytes sources[] = {Generated(5, 9001), Generated(8, 20000), bands, ramp, colours32, Bytes(5000, 3)};
    for (const Bytes& data : sources) {
        const Bytes codes = Compressed(data);
        SCOPED_TRACE(std::to_string(data.size()) + " bytes");
        ExpectAsThePlainRules(codes, data.size());
        for (int i = 0; i < 60; ++i) {
            // Cut short, cut by the expected size, one bit flipped.
            ExpectAsThePlainRules(Bytes(codes.begin(), codes.begin() + long(rng() % codes.size())), data.size());
            ExpectAsThePlainRules(codes, rng() % data.size());
            Bytes flipped = codes;
            flipped[rng() % flipped.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
            ExpectAsThePlainRules(flipped, data.size() + 100);
            if (HasFatalFailure())
                return;
        }
    }
    // Random streams that start with a clear: standard writers' clears
    // below 13 bits, codes past the table, clears in a row.
    for (int i = 0; i < 1500; ++i) {
        Bytes b(rng() % 3000);
        for (auto& c : b)
            c = static_cast<uint8_t>(rng() % (i % 3 ? 256 : 2));
        if (b.size() >= 2) {
            b[0] = 0x80;
            b[1] &= 0x7F;
        }
        ExpectAsThePlainRules(b, rng() % 20000);
        if (HasFatalFailure())
            return;
    }
}
