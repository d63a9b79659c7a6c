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

// Per thread, made on first use: too big for the stack.
EncoderWork& Encoder()
{
    static thread_local std::unique_ptr<EncoderWork> work = std::make_unique<EncoderWork>();
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


namespace {

// The decoder keeps no strings of its own: every string of the table
// already stands in the output (the previous code's string and one byte
// more), so an entry is a position and a length there, and decoding a code
// is a copy from earlier output. The single bytes stand in front of the
// output once and for all. An entry is position | length << 32.
constexpr size_t kSingles = 256;
// Bytes the area keeps behind the output for copies in 8-byte steps.
constexpr size_t kSlack = 16;
// Positions are 32 bits wide; no strip comes near.
constexpr size_t kMaxOutput = (size_t(1) << 32) - kSingles - kSlack - 1;

struct DecoderWork {
    uint64_t table[kMaxCode + 1];
    std::vector<uint8_t> area;  // the 256 single bytes, then the output
};

DecoderWork& Decoder()
{
    static thread_local std::unique_ptr<DecoderWork> work = [] {
        auto w = std::make_unique<DecoderWork>();
        for (uint64_t c = 0; c < kSingles; ++c)
            w->table[c] = c | uint64_t(1) << 32;
        return w;
    }();
    return *work;
}

inline uint64_t LoadBigEndian64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// Copies a string from earlier output; up to kSlack - 1 bytes beyond length
// may be written, all behind the string's end.
inline void CopyString(uint8_t* dst, const uint8_t* src, size_t length)
{
    if (length <= kSlack) {
        // Steps of 8 through a register: the string itself lies wholly
        // before dst, whatever the steps read beyond it.
        uint64_t v;
        std::memcpy(&v, src, 8);
        std::memcpy(dst, &v, 8);
        std::memcpy(&v, src + 8, 8);
        std::memcpy(dst + 8, &v, 8);
    } else {
        std::memcpy(dst, src, length);
    }
}

// The output area: the single bytes, then room for the decoded bytes,
// grown on demand up to what the caller expects.
class DecoderArea {
public:
    DecoderArea(std::vector<uint8_t>& area, size_t expected, size_t codeBytes)
        : area_(area), expected_(std::min(expected, kMaxOutput))
    {
        // A short stream may claim a big strip: start small.
        const size_t first = std::min(expected_, std::max<size_t>(codeBytes * 4, 65536));
        // A big area from an earlier strip is not kept for a small one.
        if (area_.size() > kKeepCapacity && kSingles + first + kSlack <= kKeepCapacity)
            std::vector<uint8_t>().swap(area_);
        Size(first);
    }
    uint8_t* data() const { return area_.data(); }
    // Where the output must end for now.
    size_t end() const { return end_; }
    // Room for a string of length bytes at pos, never beyond expected; the
    // new end. When expected cuts the string, as much as fits is written.
    [[gnu::noinline]] size_t Grow(size_t pos, size_t length, size_t at)
    {
        const size_t have = end_ - kSingles;
        if (have < expected_)
            Size(std::min(expected_, std::max(have * 2, pos + length - kSingles)));
        // Byte by byte: a string that continues itself reads what it has
        // just written.
        for (size_t i = 0; pos + length > end_ && pos + i < end_; ++i)
            area_[pos + i] = area_[at + i];
        return end_;
    }

private:
    void Size(size_t limit)
    {
        const size_t size = kSingles + limit + kSlack;
        if (area_.size() < size) {
            const bool fresh = area_.empty();
            area_.resize(size);
            if (fresh)
                for (size_t c = 0; c < kSingles; ++c)
                    area_[c] = static_cast<uint8_t>(c);
        }
        end_ = kSingles + std::min(expected_, area_.size() - kSingles - kSlack);
    }

    std::vector<uint8_t>& area_;
    size_t expected_;
    size_t end_ = 0;
};

constexpr uint32_t kNeverWider = UINT32_MAX;
constexpr uint64_t kAfterClear = UINT32_MAX;  // a previous entry of no string, just after a clear

}  // namespace

LzwDecoded LzwDecodeStrip(const uint8_t* codes, size_t size, size_t expected)
{
    DecoderWork& w = Decoder();
    uint64_t* const table = w.table;
    DecoderArea out(w.area, expected, size);
    uint8_t* area = out.data();
    size_t pos = kSingles;  // where the next string goes
    size_t end = out.end();
    LzwStatus status = LzwStatus::Ok;

    // Codes are read most significant bit first from a register whose top
    // bits are the next ones.
    const uint8_t* in = codes;
    const uint8_t* const inEnd = codes + size;
    uint64_t acc = 0;
    unsigned bits = 0;

    // The width rule as a count-down: every code counts, and at the limit
    // the codes get one bit wider (the limit 2^w - 257 moves by 2^(w-1)).
    unsigned width = 9;
    uint32_t untilWider = 255;
    uint32_t next = kFirstFree;
    // The previous code's entry; length 0: no string since the last clear.
    uint64_t prev = 0;
    // The byte the previous string repeats throughout, as far as known, or
    // -1: a run is set from it rather than read back from what was just set.
    int run = -1;

    for (;;) {
        if (bits < width) {
            if (inEnd - in >= 8) {
                acc |= LoadBigEndian64(in) >> bits;
                in += (63 - bits) >> 3;
                bits |= 56;
            } else {
                while (bits <= 56 && in < inEnd) {
                    acc |= uint64_t(*in++) << (56 - bits);
                    bits += 8;
                }
                if (bits < width)
                    break;
            }
        }
        const uint32_t c = static_cast<uint32_t>(acc >> (64 - width));
        acc <<= width;
        bits -= width;
        const unsigned readWidth = width;
        if (--untilWider == 0) {
            ++width;
            untilWider = width < unsigned(kMaxWidth) ? uint32_t(1) << (width - 1) : kNeverWider;
        }

        const uint32_t prevLength = static_cast<uint32_t>(prev >> 32);
        uint32_t length;
        if (c < kClear) {
            if (pos >= end) [[unlikely]] {
                end = out.Grow(pos, 1, c);
                area = out.data();
                if (pos >= end) {
                    status = LzwStatus::Overflow;
                    break;
                }
            }
            area[pos] = static_cast<uint8_t>(c);
            length = 1;
            run = static_cast<int>(c);
        } else if ((c < next && c > kEnd) || (c == next && prevLength != 0 && next <= kMaxCode)) {
            // A code one past the table is the previous string and its own
            // first byte.
            const bool self = c == next;
            const uint64_t e = self ? prev + (uint64_t(1) << 32) : table[c];
            const size_t at = static_cast<uint32_t>(e);
            length = static_cast<uint32_t>(e >> 32);
            if (pos + length > end) [[unlikely]] {
                end = out.Grow(pos, length, at);
                area = out.data();
                if (pos + length > end) {
                    pos = end;
                    status = LzwStatus::Overflow;
                    break;
                }
            }
            if (!self) {
                CopyString(area + pos, area + at, length);
                run = -1;
            } else if (run >= 0) {
                std::memset(area + pos, run, length);
            } else {
                CopyString(area + pos, area + at, prevLength);
                area[pos + prevLength] = area[at];
            }
        } else if (c == kEnd) {
            break;
        } else if (c == kClear && prev != kAfterClear) {
            // At strip start the clear counts after the reset; a standard
            // writer's mid-strip clear (below 13 bits) must count the same
            // way, ours (at 13 bits) restart at 0.
            untilWider = prevLength == 0 || readWidth < unsigned(kMaxWidth) ? 254 : 255;
            width = 9;
            next = kFirstFree;
            prev = kAfterClear;
            continue;
        } else {
            // Two clears in a row, no single byte first after a clear, or a
            // code the table cannot hold yet.
            status = LzwStatus::Corrupt;
            break;
        }
        // The previous string and this one's first byte stand together.
        // A table that is full without a clear takes no more strings.
        if (prevLength != 0 && next <= kMaxCode)
            table[next++] = prev + (uint64_t(1) << 32);
        prev = pos | uint64_t(length) << 32;
        pos += length;
    }
    return {status, area + kSingles, pos - kSingles};
}

LzwStatus LzwDecompress(std::vector<uint8_t>& buffer, size_t expected)
{
    const LzwDecoded d = LzwDecodeStrip(buffer.data(), buffer.size(), expected);
    buffer.assign(d.data, d.data + d.size);
    return d.status == LzwStatus::Overflow ? LzwStatus::Corrupt : d.status;
}
