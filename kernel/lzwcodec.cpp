#include "kernel/lzwcodec.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr uint32_t kClear = 256;
constexpr uint32_t kEnd = 257;
constexpr uint32_t kFirstFree = 258;
constexpr uint32_t kMaxCode = 8191;
constexpr int kMaxWidth = 13;
// The encoder's hash table: slots 0..9851, probes wrap into 1..9851 (a prime,
// so every step visits every slot).
constexpr uint32_t kHashSlots = 9852;
constexpr uint32_t kHashMod = 9851;
// A work area bigger than this is not kept for the next strip.
constexpr size_t kKeepCapacity = size_t(1) << 20;

// Counting and widening, the same in both directions. Every code written or
// read counts; when the count reaches the limit the codes get one bit wider.
// 13 bits is the widest: after the last data code before a mid-strip clear
// the count equals the 13-bit limit, and the clear is still written at 13.
struct CodeWidth {
    int width = 9;
    uint32_t limit = 255;
    uint32_t count = 0;

    void reset()
    {
        width = 9;
        limit = 255;
        count = 0;
    }
    void counted()
    {
        ++count;
        if (count == limit && width < kMaxWidth) {
            ++width;
            limit = (uint32_t(1) << width) - 257;
        }
    }
};

// Most significant bit first; a pending partial byte is padded with zeros.
class BitWriter {
public:
    explicit BitWriter(uint8_t* out) : out_(out) {}
    void put(uint32_t code, int width)
    {
        acc_ = (acc_ << width) | code;
        bits_ += width;
        while (bits_ >= 8) {
            bits_ -= 8;
            *out_++ = static_cast<uint8_t>(acc_ >> bits_);
        }
    }
    uint8_t* finish()
    {
        if (bits_ > 0)
            *out_++ = static_cast<uint8_t>(acc_ << (8 - bits_));
        bits_ = 0;
        return out_;
    }

private:
    uint8_t* out_;
    uint64_t acc_ = 0;
    int bits_ = 0;
};

class BitReader {
public:
    BitReader(const uint8_t* in, size_t size) : in_(in), end_(in + size) {}
    // The next code, or -1 when fewer than width bits are left.
    int32_t get(int width)
    {
        if (bits_ < width) {
            while (bits_ <= 56 && in_ < end_) {
                acc_ = (acc_ << 8) | *in_++;
                bits_ += 8;
            }
            if (bits_ < width)
                return -1;
        }
        bits_ -= width;
        return static_cast<int32_t>((acc_ >> bits_) & ((uint32_t(1) << width) - 1));
    }

private:
    const uint8_t* in_;
    const uint8_t* end_;
    uint64_t acc_ = 0;
    int bits_ = 0;
};

struct EncoderWork {
    uint32_t keys[kHashSlots];  // (prefix << 8 | character) + 1; 0 = free
    uint16_t codes[kHashSlots];
    std::vector<uint8_t> out;
};

struct DecoderWork {
    uint16_t prefix[kMaxCode + 1];
    uint8_t suffix[kMaxCode + 1];
    uint8_t first[kMaxCode + 1];
    uint16_t length[kMaxCode + 1];
    std::vector<uint8_t> out;

    DecoderWork()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            prefix[i] = 0;
            suffix[i] = static_cast<uint8_t>(i);
            first[i] = static_cast<uint8_t>(i);
            length[i] = 1;
        }
    }
};

EncoderWork& Encoder()
{
    static thread_local EncoderWork* work = new EncoderWork;
    return *work;
}

DecoderWork& Decoder()
{
    static thread_local DecoderWork* work = new DecoderWork;
    return *work;
}

// Hands the result to the caller and keeps the caller's old buffer as the
// next work area, unless it has grown too big to keep around.
void HandOver(std::vector<uint8_t>& buffer, std::vector<uint8_t>& work, size_t size)
{
    work.resize(size);
    std::swap(buffer, work);
    if (work.capacity() > kKeepCapacity)
        std::vector<uint8_t>().swap(work);
}

}  // namespace

void LzwCompress(std::vector<uint8_t>& buffer)
{
    EncoderWork& w = Encoder();
    const size_t n = buffer.size();
    // Every input byte gives at most one code of at most 13 bits, plus the
    // clear and end codes and a clear per filled table.
    const size_t bound = (n + 3 + n / 7000) * 13 / 8 + 8;
    if (w.out.size() < bound)
        w.out.resize(bound);
    BitWriter bits(w.out.data());
    CodeWidth width;
    auto put = [&](uint32_t code) {
        bits.put(code, width.width);
        width.counted();
    };

    std::memset(w.keys, 0, sizeof w.keys);
    uint32_t next = kFirstFree;
    put(kClear);
    if (n == 0) {
        put(kEnd);
        HandOver(buffer, w.out, static_cast<size_t>(bits.finish() - w.out.data()));
        return;
    }
    const uint8_t* in = buffer.data();
    uint32_t prefix = in[0];
    for (size_t i = 1; i < n; ++i) {
        const uint32_t c = in[i];
        const uint32_t key = ((prefix << 8) | c) + 1;
        uint32_t slot = (c << 5) ^ prefix;
        const uint32_t step = slot == 0 ? 1 : kHashMod - slot;
        bool found = false;
        while (w.keys[slot] != 0) {
            if (w.keys[slot] == key) {
                found = true;
                break;
            }
            slot = slot > step ? slot - step : slot + kHashMod - step;
        }
        if (found) {
            prefix = w.codes[slot];
            continue;
        }
        w.keys[slot] = key;
        w.codes[slot] = static_cast<uint16_t>(next++);
        // The clear goes out at the width of the code before it; counting
        // starts afresh at 0 behind it.
        bits.put(prefix, width.width);
        ++width.count;
        prefix = c;
        if (next > kMaxCode) {
            bits.put(kClear, width.width);
            std::memset(w.keys, 0, sizeof w.keys);
            next = kFirstFree;
            width.reset();
        }
        if (width.count == width.limit && width.width < kMaxWidth) {
            ++width.width;
            width.limit = (uint32_t(1) << width.width) - 257;
        }
    }
    // The width rule runs after the last data code too: the end code may
    // already be one bit wider.
    put(prefix);
    put(kEnd);
    HandOver(buffer, w.out, static_cast<size_t>(bits.finish() - w.out.data()));
}

LzwStatus LzwDecompress(std::vector<uint8_t>& buffer, size_t expected)
{
    DecoderWork& w = Decoder();
    std::vector<uint8_t>& out = w.out;
    // Grown on demand: a short stream may claim a big strip.
    const size_t guess = std::min(expected, std::max<size_t>(buffer.size() * 4, 4096));
    if (out.size() < guess)
        out.resize(guess);
    size_t pos = 0;
    LzwStatus status = LzwStatus::Ok;

    // Room for length more bytes, never beyond expected.
    auto room = [&](size_t length) {
        if (length > expected - pos)
            return false;
        if (pos + length > out.size())
            out.resize(std::min(expected, std::max(out.size() * 2, pos + length)));
        return true;
    };

    BitReader bits(buffer.data(), buffer.size());
    CodeWidth width;
    uint32_t next = kFirstFree;
    uint32_t prev = 0;
    bool started = false;  // a byte has come since the last clear
    bool afterClear = false;

    for (;;) {
        const int32_t read = bits.get(width.width);
        if (read < 0)
            break;
        const uint32_t c = static_cast<uint32_t>(read);
        const int readWidth = width.width;
        width.counted();
        if (c == kEnd)
            break;
        if (c == kClear) {
            // Two clears in a row: no writer does that.
            if (afterClear) {
                status = LzwStatus::Corrupt;
                break;
            }
            next = kFirstFree;
            // At strip start the clear counts after the reset; a standard
            // writer's mid-strip clear (below 13 bits) must count the same
            // way, ours (at 13 bits) restart at 0.
            const bool counts = !started || readWidth < kMaxWidth;
            width.reset();
            if (counts)
                width.count = 1;
            started = false;
            afterClear = true;
            continue;
        }
        afterClear = false;
        if (!started) {
            if (c > 255) {
                status = LzwStatus::Corrupt;
                break;
            }
            if (!room(1)) {
                status = LzwStatus::Corrupt;
                break;
            }
            out[pos++] = static_cast<uint8_t>(c);
            prev = c;
            started = true;
            continue;
        }
        if (c > next || (c == next && next > kMaxCode)) {
            status = LzwStatus::Corrupt;
            break;
        }
        uint8_t firstChar;
        size_t length;
        uint32_t k;
        if (c < next) {
            length = w.length[c];
            firstChar = w.first[c];
            k = c;
        } else {
            // The string of the previous code and its own first byte.
            length = size_t(w.length[prev]) + 1;
            firstChar = w.first[prev];
            k = prev;
        }
        if (!room(length)) {
            status = LzwStatus::Corrupt;
            break;
        }
        uint8_t* p = out.data() + pos + w.length[k] - 1;
        if (c == next)
            out[pos + length - 1] = firstChar;
        while (k >= kFirstFree) {
            *p-- = w.suffix[k];
            k = w.prefix[k];
        }
        *p = static_cast<uint8_t>(k);
        pos += length;
        // A table that is full without a clear takes no more strings.
        if (next <= kMaxCode) {
            w.prefix[next] = static_cast<uint16_t>(prev);
            w.suffix[next] = firstChar;
            w.first[next] = w.first[prev];
            w.length[next] = static_cast<uint16_t>(w.length[prev] + 1);
            ++next;
        }
        prev = c;
    }
    HandOver(buffer, out, pos);
    return status;
}
