// The strip decoder on any code stream, the expected size taken from the
// input's first two bytes: it never gives more than expected, and it gives
// the same bytes and outcome as the rules written plainly. The rest of
// the input, read as a raw strip, must come back through the encoder.
// Smoke run: 50000 runs.
// Longest input: 65536 bytes.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "kernel/pattern/lzwcodec.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/lzw_plain.h"

namespace {

// A strip holds at most this many raw bytes.
constexpr std::size_t kStripBytes = 8192;

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "lzw", what);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    std::size_t expected = in.Byte();
    expected |= std::size_t(in.Byte()) << 8;
    const std::string_view rest = in.Rest();

    std::vector<std::uint8_t> buffer(rest.begin(), rest.end());
    const lzw_plain::Decoded plain = lzw_plain::Decode(buffer.data(), buffer.size(), expected);
    const LzwDecoded strip = LzwDecodeStrip(buffer.data(), buffer.size(), expected);
    Check(strip.status == plain.status, "another outcome than the plain rules");
    Check(std::equal(strip.data, strip.data + strip.size, plain.out.begin(), plain.out.end()), "other bytes than the plain rules");
    LzwDecompress(buffer, expected);
    Check(buffer.size() <= expected, "more bytes than expected");

    const std::vector<std::uint8_t> raw(rest.begin(), rest.begin() + std::min(rest.size(), kStripBytes));
    std::vector<std::uint8_t> codes = raw;
    LzwCompress(codes);
    Check(LzwDecompress(codes, raw.size()) == LzwStatus::Ok, "the encoder's codes are corrupt");
    Check(codes == raw, "a strip changed through the codec");
    return 0;
}
