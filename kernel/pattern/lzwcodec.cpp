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
// already stands in the output. An entry is made when a code follows a
// string: that string and the first byte of the code's own, which stands
// right behind it. So the entry is kept as the place of the string before
// (position | length << 32), and its code's string is one byte longer.

// Bytes the area keeps behind the output: short strings are copied in
// whole blocks of 16 bytes.
constexpr size_t kSlack = 16;
// Positions are 32 bits wide; no strip comes near.
constexpr size_t kMaxOutput = (size_t(1) << 32) - kSlack - 1;
// Up to this length a string is copied in blocks rather than by memcpy.
constexpr size_t kShortCopy = 256;
// The clear and end codes have no string: their entries claim a length no
// output can hold, so the common codes' path leaves them to the general one.
constexpr uint64_t kNoString = uint64_t(UINT32_MAX) << 32;
// Codes read from one refill of 56 bits or more, at 13 bits at most.
constexpr uint32_t kGroup = 4;

inline size_t Position(uint64_t entry)
{
    return static_cast<uint32_t>(entry);
}

inline size_t Length(uint64_t entry)
{
    return static_cast<size_t>(entry >> 32);
}

struct DecoderWork {
    uint64_t table[kMaxCode + 1];
    std::vector<uint8_t> area;  // the output
};

DecoderWork& Decoder()
{
    static thread_local std::unique_ptr<DecoderWork> work = [] {
        auto w = std::make_unique<DecoderWork>();
        w->table[kClear] = kNoString;
        w->table[kEnd] = kNoString;
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

// Copies a string from earlier output; up to 15 bytes beyond length may be
// written, all behind the string's end.
inline void CopyString(uint8_t* dst, const uint8_t* src, size_t length)
{
    if (length <= kShortCopy) [[likely]] {
        // Whatever a step reads beyond the string, the string itself lies
        // wholly before dst and is not touched by the steps before.
        for (size_t i = 0; i < length; i += 16) {
            uint8_t v[16];
            std::memcpy(v, src + i, 16);
            std::memcpy(dst + i, v, 16);
        }
    } else {
        std::memcpy(dst, src, length);
    }
}

// The output area, grown on demand up to what the caller expects.
class DecoderArea {
public:
    DecoderArea(std::vector<uint8_t>& area, size_t expected, size_t codeBytes)
        : area_(area), expected_(std::min(expected, kMaxOutput))
    {
        // A short stream may claim a big strip: start small.
        const size_t first = std::min(expected_, std::max<size_t>(codeBytes * 4, 65536));
        // A big area from an earlier strip is not kept for a small one.
        if (area_.size() > kKeepCapacity && first + kSlack <= kKeepCapacity)
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
        if (end_ < expected_)
            Size(std::min(expected_, std::max(end_ * 2, pos + length)));
        // Byte by byte: a string that continues itself reads what it has
        // just written.
        for (size_t i = 0; pos + length > end_ && pos + i < end_; ++i)
            area_[pos + i] = area_[at + i];
        return end_;
    }

private:
    void Size(size_t limit)
    {
        if (area_.size() < limit + kSlack)
            area_.resize(limit + kSlack);
        end_ = std::min(expected_, area_.size() - kSlack);
    }

    std::vector<uint8_t>& area_;
    size_t expected_;
    size_t end_ = 0;
};

// Runs of one byte are not set code by code: a single byte followed by
// codes one past the table, each the one before and its first byte, makes
// one run in the output, which is set in one go before anything reads the
// output, and at the end.
class PendingRun {
public:
    // Whether the previous string, just before pos, is the end of the run.
    [[gnu::always_inline]] bool EndsAt(size_t pos) const { return to_ == pos && to_ != 0; }
    uint8_t byte() const { return byte_; }
    [[gnu::always_inline]] void Add(uint8_t* area, size_t pos, size_t length, uint8_t byte)
    {
        if (to_ != pos || byte_ != byte) [[unlikely]]
            Restart(area, pos, byte);
        to_ = pos + length;
    }
    [[gnu::always_inline]] void Set(uint8_t* area)
    {
        if (to_ != from_) [[unlikely]]
            Flush(area);
    }

private:
    [[gnu::noinline]] void Flush(uint8_t* area)
    {
        std::memset(area + from_, byte_, to_ - from_);
        from_ = to_;
    }
    [[gnu::noinline]] void Restart(uint8_t* area, size_t pos, uint8_t byte)
    {
        if (to_ != from_)
            Flush(area);
        from_ = pos;
        byte_ = byte;
    }

    size_t from_ = 0;
    size_t to_ = 0;
    uint8_t byte_ = 0;
};

// The strings SetString leaves aside: long ones of the table, and ones past
// the table that are no run.
[[gnu::noinline]] void SetLongString(uint8_t* area, size_t pos, size_t at, size_t length, bool past,
                                     PendingRun& pending)
{
    // What is read back must stand.
    pending.Set(area);
    if (!past) {
        CopyString(area + pos, area + at, length);
    } else {
        CopyString(area + pos, area + at, length - 1);
        area[pos + length - 1] = area[at];
    }
}

// Sets a string of the table (entry e) or, past, the one just past it at
// pos: the previous string (prev, just before pos) and its own first byte.
// When that string is a single byte or the end of a run, so is this one.
[[gnu::always_inline]] inline void SetString(uint8_t* area, size_t pos, uint64_t e, size_t length, bool past,
                                             uint64_t prev, PendingRun& pending)
{
    const size_t at = Position(e);
    if (past) {
        // A single byte stands in the output already.
        if (Length(prev) == 1) {
            pending.Add(area, pos, length, area[at]);
            return;
        }
        if (pending.EndsAt(pos)) {
            pending.Add(area, pos, length, pending.byte());
            return;
        }
    } else if (length <= 16) [[likely]] {
        pending.Set(area);
        uint8_t v[16];
        std::memcpy(v, area + at, 16);
        std::memcpy(area + pos, v, 16);
        return;
    }
    SetLongString(area, pos, at, length, past, pending);
}

constexpr uint32_t kNeverWider = UINT32_MAX;
// The previous entry just after a clear: no string, and a clear now would
// be the second in a row.
constexpr uint64_t kAfterClear = UINT32_MAX;

// Codes are cut out by shifts of a variable width, which BMI2 does in one
// instruction from any register: with GCC the decoder is built with and
// without it, and the loader takes the one the processor runs. (Clang 14
// makes the chooser only where the function is called in the same file.)
#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__) && !defined(__clang__)
#define DECODER_CLONES __attribute__((target_clones("bmi2", "default")))
#else
#define DECODER_CLONES
#endif

}  // namespace

DECODER_CLONES LzwDecoded LzwDecodeStrip(const uint8_t* codes, size_t size, size_t expected)
{
    DecoderWork& w = Decoder();
    uint64_t* const table = w.table;
    DecoderArea out(w.area, expected, size);
    uint8_t* area = out.data();
    size_t pos = 0;  // where the next string goes
    size_t end = out.end();
    LzwStatus status = LzwStatus::Ok;

    // Codes are read most significant bit first from a register whose top
    // bits are the next ones. Below them it holds nothing or the bits that
    // follow in the stream, so a refill may come at any time.
    const uint8_t* in = codes;
    const uint8_t* const inEnd = codes + size;
    uint64_t acc = 0;
    unsigned bits = 0;

    // The width rule as a count-down: every code counts, and at the limit
    // the codes get one bit wider (the limit 2^w - 257 moves by 2^(w-1)).
    unsigned width = 9;
    uint32_t untilWider = 255;
    uint32_t next = kFirstFree;
    // The previous code's string; length 0: none since the last clear.
    uint64_t prev = 0;
    // Kept in memory: the common codes do not need it in a register.
    static thread_local PendingRun pendingRun;
    PendingRun& pending = pendingRun;
    pending = PendingRun();

    for (;;) {
        // The common codes, in groups of four from one refill, as long as
        // nothing but the string changes: a single byte, a string of the
        // table or the one just past it, after a string, while the width
        // stays, the table has room, the input holds a whole refill and the
        // output room for the group. Every such code makes an entry.
        // Anything else is left to the general code below, which reads the
        // same code again.
        if (Length(prev) != 0 && next <= kMaxCode && inEnd - in >= 16 && end - pos > kGroup) {
            // Every code takes at most width bits: as many as leave a whole
            // refill in the input.
            const size_t readable = size_t(inEnd - in - 16) * 8 / width;
            const uint32_t first = next;
            const uint32_t stop = next + static_cast<uint32_t>(std::min<size_t>(std::min(untilWider - 1, kMaxCode + 1 - next), readable));
            const unsigned shift = 64 - width;
            // The single bytes of a group always fit before the end.
            const size_t limit = end - kGroup;
            auto step = [&]() __attribute__((always_inline)) -> bool {
                const uint32_t c = static_cast<uint32_t>(acc >> shift);
                size_t length = 1;
                if (c < kClear) {
                    area[pos] = static_cast<uint8_t>(c);
                } else {
                    if (c > next)
                        return false;
                    const bool past = c == next;
                    const uint64_t e = past ? prev : table[c];
                    length = Length(e) + 1;
                    if (pos + length > limit)
                        return false;
                    SetString(area, pos, e, length, past, prev, pending);
                }
                acc <<= width;
                table[next++] = prev;
                prev = pos | uint64_t(length) << 32;
                pos += length;
                return true;
            };
            // The bits of a group are counted once, or where it stops.
            while (stop - next >= kGroup && pos <= limit) {
                acc |= LoadBigEndian64(in) >> bits;
                in += (63 - bits) >> 3;
                bits |= 56;
                if (!step())
                    break;
                if (!step()) {
                    bits -= width;
                    break;
                }
                if (!step()) {
                    bits -= 2 * width;
                    break;
                }
                if (!step()) {
                    bits -= 3 * width;
                    break;
                }
                bits -= 4 * width;
            }
            untilWider -= next - first;
        }

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

        const size_t prevLength = Length(prev);
        size_t length = 1;
        if (c < kClear) {
            if (pos >= end) [[unlikely]] {
                pending.Set(area);
                end = out.Grow(pos, 1, 0);
                area = out.data();
                if (pos >= end) {
                    status = LzwStatus::Overflow;
                    break;
                }
            }
            area[pos] = static_cast<uint8_t>(c);
        } else if ((c < next && c > kEnd) || (c == next && prevLength != 0 && next <= kMaxCode)) {
            const bool past = c == next;
            const uint64_t e = past ? prev : table[c];
            length = Length(e) + 1;
            if (pos + length > end) {
                pending.Set(area);
                end = out.Grow(pos, length, Position(e));
                area = out.data();
                if (pos + length > end) {
                    pos = end;
                    status = LzwStatus::Overflow;
                    break;
                }
            }
            SetString(area, pos, e, length, past, prev, pending);
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
        // A table that is full without a clear takes no more strings.
        if (prevLength != 0 && next <= kMaxCode)
            table[next++] = prev;
        prev = pos | uint64_t(length) << 32;
        pos += length;
    }
    pending.Set(area);
    return {status, area, pos};
}

LzwStatus LzwDecompress(std::vector<uint8_t>& buffer, size_t expected)
{
    const LzwDecoded d = LzwDecodeStrip(buffer.data(), buffer.size(), expected);
    buffer.assign(d.data, d.data + d.size);
    return d.status == LzwStatus::Overflow ? LzwStatus::Corrupt : d.status;
}
