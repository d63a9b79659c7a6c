#include "kernel/pattern/lzwcodec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

namespace {

constexpr uint32_t kClear = 256;
constexpr uint32_t kEnd = 257;
constexpr uint32_t kFirstFree = 258;
constexpr uint32_t kMaxCode = 8191;
constexpr int kMaxWidth = 13;
// The encoder's hash table: at most 7934 strings in 16384 slots keeps the
// probe runs short. Where a string lands does not change the code stream.
constexpr int kHashBits = 14;
constexpr uint32_t kHashSlots = uint32_t(1) << kHashBits;
// A slot holds generation << 21 | prefix << 8 | character; a reset starts a
// new generation instead of clearing the table.
constexpr uint32_t kKeyBits = 21;
constexpr uint32_t kGenerations = uint32_t(1) << (32 - kKeyBits);
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
    void widen()
    {
        if (count == limit && width < kMaxWidth) {
            ++width;
            limit = (uint32_t(1) << width) - 257;
        }
    }
    void counted()
    {
        ++count;
        widen();
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
            refill();
            if (bits_ < width)
                return -1;
        }
        bits_ -= width;
        return static_cast<int32_t>((acc_ >> bits_) & ((uint32_t(1) << width) - 1));
    }

private:
    void refill()
    {
        if (end_ - in_ >= 8) {
            // As many whole bytes as the register takes, in one load.
            uint64_t v;
            std::memcpy(&v, in_, 8);
            v = __builtin_bswap64(v);
            const int take = (64 - bits_) >> 3;
            acc_ = take == 8 ? v : (acc_ << (take * 8)) | (v >> (64 - take * 8));
            in_ += take;
            bits_ += take * 8;
            return;
        }
        while (bits_ <= 56 && in_ < end_) {
            acc_ = (acc_ << 8) | *in_++;
            bits_ += 8;
        }
    }

    const uint8_t* in_;
    const uint8_t* end_;
    uint64_t acc_ = 0;
    int bits_ = 0;
};

struct EncoderWork {
    uint32_t keys[kHashSlots] = {};
    uint16_t codes[kHashSlots] = {};
    uint32_t generation = 0;  // 0 is never used: a zeroed slot is free
    std::vector<uint8_t> out;

    void reset()
    {
        if (++generation == kGenerations) {
            std::memset(keys, 0, sizeof keys);
            generation = 1;
        }
    }
};

// The decoder keeps no strings of its own: every string of the table
// already stands in the output (the previous code's string and one byte
// more), so an entry is a position and a length there, and decoding a code
// is a copy from earlier output.
struct DecoderWork {
    size_t offset[kMaxCode + 1];
    uint16_t length[kMaxCode + 1];
    std::vector<uint8_t> out;
};

// Bytes the output keeps behind its end for copies in 8-byte steps.
constexpr size_t kSlack = 16;

// Copies a string from earlier output; at most 15 bytes beyond length are
// written, and they lie behind the string's end.
inline void CopyString(uint8_t* dst, const uint8_t* src, size_t length)
{
    if (length <= kSlack) {
        // Steps of 8 through a register: the string itself lies wholly
        // before dst, whatever the steps read beyond it.
        uint64_t v;
        std::memcpy(&v, src, 8);
        std::memcpy(dst, &v, 8);
        if (length > 8) {
            std::memcpy(&v, src + 8, 8);
            std::memcpy(dst + 8, &v, 8);
        }
    } else {
        std::memcpy(dst, src, length);
    }
}

// Per thread, made on first use: too big for the stack.
EncoderWork& Encoder()
{
    static thread_local std::unique_ptr<EncoderWork> work = std::make_unique<EncoderWork>();
    return *work;
}

DecoderWork& Decoder()
{
    static thread_local std::unique_ptr<DecoderWork> work = std::make_unique<DecoderWork>();
    return *work;
}

// Hands the result to the caller. The work area stays for the next strip
// (its growth costs more than the copy), unless it has grown too big to
// keep around.
void HandOver(std::vector<uint8_t>& buffer, std::vector<uint8_t>& work, size_t size)
{
    buffer.assign(work.data(), work.data() + size);
    if (work.size() > kKeepCapacity)
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

    w.reset();
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
        const uint32_t string = (prefix << 8) | c;
        const uint32_t key = (w.generation << kKeyBits) | string;
        // Only the prefix waits for the previous lookup: keep its part cheap,
        // and spread the character over all the bits.
        uint32_t slot = ((prefix << 1) ^ ((c * 0x9E3779B1u) >> (32 - kHashBits))) & (kHashSlots - 1);
        bool found = false;
        while ((w.keys[slot] >> kKeyBits) == w.generation) {
            if (w.keys[slot] == key) {
                found = true;
                break;
            }
            slot = (slot + 1) & (kHashSlots - 1);
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
            w.reset();
            next = kFirstFree;
            width.reset();
        }
        width.widen();
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
    size_t limit = std::min(expected, std::max<size_t>(buffer.size() * 4, 65536));
    if (out.size() < limit + kSlack)
        out.resize(limit + kSlack);
    limit = std::min(expected, out.size() - kSlack);
    size_t pos = 0;
    LzwStatus status = LzwStatus::Ok;

    // Room for length more bytes, never beyond expected.
    auto room = [&](size_t length) {
        if (length > expected - pos)
            return false;
        if (pos + length > limit) {
            limit = std::min(expected, std::max(limit * 2, pos + length));
            out.resize(limit + kSlack);
        }
        return true;
    };

    BitReader bits(buffer.data(), buffer.size());
    CodeWidth width;
    uint32_t next = kFirstFree;
    size_t prevPos = 0;     // where the previous code's string stands
    size_t prevLength = 0;  // 0: no string since the last clear
    bool afterClear = false;

    for (;;) {
        const int32_t read = bits.get(width.width);
        if (read < 0)
            break;
        const uint32_t c = static_cast<uint32_t>(read);
        const int readWidth = width.width;
        width.counted();
        size_t length;
        if (c < 256) {
            length = 1;
            if (pos >= limit && !room(1)) {
                status = LzwStatus::Corrupt;
                break;
            }
            out[pos] = static_cast<uint8_t>(c);
        } else if (c >= kFirstFree && c < next) {
            length = w.length[c];
            if (pos + length > limit && !room(length)) {
                status = LzwStatus::Corrupt;
                break;
            }
            CopyString(out.data() + pos, out.data() + w.offset[c], length);
        } else if (c == kEnd) {
            break;
        } else if (c == kClear) {
            // Two clears in a row: no writer does that.
            if (afterClear) {
                status = LzwStatus::Corrupt;
                break;
            }
            // At strip start the clear counts after the reset; a standard
            // writer's mid-strip clear (below 13 bits) must count the same
            // way, ours (at 13 bits) restart at 0.
            const bool counts = prevLength == 0 || readWidth < kMaxWidth;
            next = kFirstFree;
            width.reset();
            if (counts)
                width.count = 1;
            prevLength = 0;
            afterClear = true;
            continue;
        } else if (c == next && prevLength != 0 && next <= kMaxCode) {
            // The previous string and its own first byte.
            length = prevLength + 1;
            if (pos + length > limit && !room(length)) {
                status = LzwStatus::Corrupt;
                break;
            }
            CopyString(out.data() + pos, out.data() + prevPos, prevLength);
            out[pos + prevLength] = out[prevPos];
        } else {
            // No single byte first after a clear, or a code the table
            // cannot hold yet.
            status = LzwStatus::Corrupt;
            break;
        }
        afterClear = false;
        // The previous string and this one's first byte stand together.
        // A table that is full without a clear takes no more strings.
        if (prevLength != 0 && next <= kMaxCode) {
            w.offset[next] = prevPos;
            w.length[next] = static_cast<uint16_t>(prevLength + 1);
            ++next;
        }
        prevPos = pos;
        prevLength = length;
        pos += length;
    }
    HandOver(buffer, out, pos);
    return status;
}
