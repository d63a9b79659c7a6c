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

// Every string of the table already stands in the output (the previous
// code's string and one byte more), so a long string is a position and a
// length there, and decoding it is a copy from earlier output. A string of
// up to seven bytes rides along whole in a head of eight bytes, its length
// in the top byte: noisy patterns are mostly such strings, which then take
// one store and no read of output that may still be on its way to memory,
// and the heads of a strip stay in the first-level cache. A longer string
// has 0 in the head's top byte and its first seven bytes in the others. The
// single bytes are strings like every other, and stand in front of the
// output once and for all.
constexpr size_t kSingles = 256;
// Bytes the area keeps behind the output for stores in 16-byte steps.
constexpr size_t kSlack = 16;
// Positions are 32 bits wide; no strip comes near.
constexpr size_t kMaxOutput = (size_t(1) << 32) - kSingles - kSlack - 1;
// Up to this length a string goes in 16-byte steps rather than by memcpy.
constexpr uint32_t kShortCopy = 256;
// The longest string a head holds whole.
constexpr uint32_t kHeadBytes = 7;
constexpr uint64_t kHeadString = (uint64_t(1) << 56) - 1;
// The previous code's head when there is no previous string: at the start
// of a strip, and after a clear. No string's head has 255 in its top byte.
constexpr uint64_t kNoString = uint64_t(0xFF) << 56;
constexpr uint64_t kAfterClear = UINT64_MAX;

inline uint32_t HeadLength(uint64_t head)
{
    return static_cast<uint32_t>(head >> 56);
}

// The head of a string (its head given; 0 in the top byte: a long one) and
// one byte more.
inline uint64_t ExtendedHead(uint64_t head, uint64_t byte)
{
    // A short head is zero between its string and its length.
    const uint32_t length = HeadLength(head);
    if (length - 1 < kHeadBytes - 1) [[likely]]
        return head + (uint64_t(1) << 56) + (byte << (8 * length));
    return head & kHeadString;
}

struct DecoderWork {
    uint64_t heads[kMaxCode + 1];
    uint64_t places[kMaxCode + 1];  // of the long strings: position | length << 32
    std::vector<uint8_t> area;       // the 256 single bytes, then the output
};

DecoderWork& Decoder()
{
    static thread_local std::unique_ptr<DecoderWork> work = [] {
        auto w = std::make_unique<DecoderWork>();
        for (uint64_t c = 0; c < kSingles; ++c)
            w->heads[c] = c | uint64_t(1) << 56;
        // No strings: the common case leaves them to the general one.
        w->heads[kClear] = 0;
        w->heads[kEnd] = 0;
        return w;
    }();
    return *work;
}

// Enters the previous string (of prevLength bytes at prevPos) and the next
// string's first byte as code next.
inline void Enter(DecoderWork& w, uint32_t next, uint64_t prevHead, uint32_t prevLength, uint64_t byte, size_t prevPos)
{
    const uint64_t extended = ExtendedHead(prevHead, byte);
    w.heads[next] = extended;
    if (HeadLength(extended) == 0)
        w.places[next] = prevPos | uint64_t(prevLength + 1) << 32;
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
    if (length <= kShortCopy) {
        // Steps of 16 through a register: the string itself lies wholly
        // before dst, whatever the steps read beyond it.
        for (size_t i = 0; i < length; i += 16) {
            uint8_t v[16];
            std::memcpy(v, src + i, 16);
            std::memcpy(dst + i, v, 16);
        }
    } else {
        std::memcpy(dst, src, length);
    }
}

// A run of one byte; up to kSlack - 1 bytes beyond length may be written.
inline void FillRun(uint8_t* dst, uint8_t byte, size_t length)
{
    if (length <= kShortCopy) {
        uint8_t v[16];
        std::memset(v, byte, 16);
        for (size_t i = 0; i < length; i += 16)
            std::memcpy(dst + i, v, 16);
    } else {
        std::memset(dst, byte, length);
    }
}

// Sets the string of the code one past the table at dst: the previous
// string (of prevLength bytes, just before dst) and its own first byte; the
// head is the new string's. A run of one byte is set rather than read back.
inline void SetPastTable(uint8_t* dst, uint64_t head, uint32_t prevLength, bool isRun)
{
    const uint32_t length = prevLength + 1;
    if (length <= kHeadBytes) {
        std::memcpy(dst, &head, 8);
    } else if (isRun) {
        FillRun(dst, static_cast<uint8_t>(head), length);
    } else {
        CopyString(dst, dst - prevLength, prevLength);
        dst[prevLength] = static_cast<uint8_t>(head);
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
    // new end.
    [[gnu::noinline]] size_t Grow(size_t pos, size_t length)
    {
        const size_t have = end_ - kSingles;
        if (have < expected_)
            Size(std::min(expected_, std::max(have * 2, pos + length - kSingles)));
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

// When expected cuts a string short: as much of it as fits, byte by byte (a
// string that continues itself reads what it has just written); the end.
[[gnu::noinline]] uint8_t* Cut(uint8_t* dst, uint8_t* limit, const uint8_t* from)
{
    for (; dst < limit; ++dst, ++from)
        *dst = *from;
    return dst;
}

}  // namespace

LzwDecoded LzwDecodeStrip(const uint8_t* codes, size_t size, size_t expected)
{
    DecoderWork& w = Decoder();
    uint64_t* const heads = w.heads;
    DecoderArea out(w.area, expected, size);
    uint8_t* area = out.data();
    // Where the next string goes, and where the output must end for now.
    uint8_t* dst = area + kSingles;
    uint8_t* limit = area + out.end();
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
    // The previous code's string, which ends at dst: its head (or
    // kNoString, kAfterClear) and length.
    uint64_t prevHead = kNoString;
    uint32_t prevLength = 0;
    // Where the last run set by a code one past the table ended: when the
    // string before dst is such a run or a single byte, the next one past
    // the table is a run too and is set rather than read back.
    const uint8_t* runEnd = nullptr;

    const uint8_t* const inFast = inEnd - std::min<size_t>(size, 8);
    for (;;) {
        // The common cases alone, with the few values they need: a string
        // of the table or the one past it that fits, with a previous string
        // to make the next entry from, and no change of width. Anything
        // else is left to the code below, which reads the same code again.
        // Every code here makes an entry, so the count until the next width
        // follows from next.
        if (HeadLength(prevHead) != 0xFF) {
            uint8_t* const fastLimit = limit - kHeadBytes;
            const uint64_t mask = (uint64_t(1) << width) - 1;
            const uint32_t first = next;
            const uint32_t stop = static_cast<uint32_t>(std::min<uint64_t>(kMaxCode + 1, uint64_t(next) + untilWider - 1));
            while (next < stop && dst <= fastLimit) {
                if (bits < width) {
                    if (in >= inFast)
                        break;
                    acc |= LoadBigEndian64(in) >> bits;
                    in += (63 - bits) >> 3;
                    bits |= 56;
                }
                // Rotated, the code stands in the low bits.
                const uint64_t rotated = acc << width | acc >> (64 - width);
                const uint32_t c = static_cast<uint32_t>(rotated & mask);
                uint64_t head;
                uint32_t length;
                if (c < kSingles) {
                    // Noise of many colours is mostly single bytes: no
                    // read of the table for them.
                    head = c | uint64_t(1) << 56;
                    length = 1;
                    *dst = static_cast<uint8_t>(c);
                } else if (c < next) {
                    head = heads[c];
                    length = HeadLength(head);
                    if (length != 0) [[likely]] {
                        std::memcpy(dst, &head, 8);
                    } else {
                        // A long string; the clear and end codes have heads
                        // of length 0 too.
                        if ((c & ~1u) == kClear)
                            break;
                        const uint64_t place = w.places[c];
                        length = static_cast<uint32_t>(place >> 32);
                        if (dst + length > limit)
                            break;
                        CopyString(dst, area + static_cast<uint32_t>(place), length);
                    }
                } else if (c == next) {
                    length = prevLength + 1;
                    head = ExtendedHead(prevHead, prevHead & 0xFF);
                    if (dst + length > limit)
                        break;
                    const bool isRun = prevLength == 1 || runEnd == dst;
                    SetPastTable(dst, head, prevLength, isRun);
                    runEnd = isRun ? dst + length : nullptr;
                } else {
                    break;
                }
                acc = rotated ^ c;
                bits -= width;
                Enter(w, next++, prevHead, prevLength, head & 0xFF, static_cast<size_t>(dst - prevLength - area));
                prevHead = head;
                prevLength = length;
                dst += length;
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

        uint64_t head;
        uint32_t length;
        if (c < next && (c & ~1u) != kClear) [[likely]] {
            // A single byte or a string of the table: codes at or above
            // next are not in it yet, whatever an earlier strip left there.
            head = heads[c];
            length = HeadLength(head);
            if (length != 0 && dst + length <= limit) [[likely]] {
                std::memcpy(dst, &head, 8);
            } else {
                // A long string, or one the area has no room for yet.
                size_t at = 0;
                if (length == 0) {
                    const uint64_t place = w.places[c];
                    at = static_cast<uint32_t>(place);
                    length = static_cast<uint32_t>(place >> 32);
                }
                if (dst + length > limit) {
                    const size_t pos = static_cast<size_t>(dst - area);
                    const size_t end = out.Grow(pos, length);
                    area = out.data();
                    dst = area + pos;
                    limit = area + end;
                    runEnd = nullptr;
                    if (dst + length > limit) {
                        uint8_t bytes[8];
                        std::memcpy(bytes, &head, 8);
                        dst = Cut(dst, limit, length <= kHeadBytes ? bytes : area + at);
                        status = LzwStatus::Overflow;
                        break;
                    }
                }
                if (length <= kHeadBytes)
                    std::memcpy(dst, &head, 8);
                else
                    CopyString(dst, area + at, length);
            }
        } else if (c == next && HeadLength(prevHead) != 0xFF && next <= kMaxCode) {
            // A code one past the table is the previous string and its own
            // first byte.
            const bool isRun = prevLength == 1 || runEnd == dst;
            length = prevLength + 1;
            head = ExtendedHead(prevHead, prevHead & 0xFF);
            if (dst + length > limit) [[unlikely]] {
                const size_t pos = static_cast<size_t>(dst - area);
                const size_t end = out.Grow(pos, length);
                area = out.data();
                dst = area + pos;
                limit = area + end;
                if (dst + length > limit) {
                    uint8_t bytes[8];
                    std::memcpy(bytes, &head, 8);
                    dst = Cut(dst, limit, length <= kHeadBytes ? bytes : dst - prevLength);
                    status = LzwStatus::Overflow;
                    break;
                }
            }
            SetPastTable(dst, head, prevLength, isRun);
            runEnd = isRun ? dst + length : nullptr;
        } else if (c == kEnd) {
            break;
        } else if (c == kClear && prevHead != kAfterClear) {
            // At strip start the clear counts after the reset; a standard
            // writer's mid-strip clear (below 13 bits) must count the same
            // way, ours (at 13 bits) restart at 0.
            untilWider = prevHead == kNoString || readWidth < unsigned(kMaxWidth) ? 254 : 255;
            width = 9;
            next = kFirstFree;
            prevHead = kAfterClear;
            continue;
        } else {
            // Two clears in a row, no single byte first after a clear, or a
            // code the table cannot hold yet.
            status = LzwStatus::Corrupt;
            break;
        }
        // The previous string and this one's first byte stand together.
        // A table that is full without a clear takes no more strings.
        if (HeadLength(prevHead) != 0xFF && next <= kMaxCode)
            Enter(w, next++, prevHead, prevLength, head & 0xFF, static_cast<size_t>(dst - prevLength - area));
        prevHead = head;
        prevLength = length;
        dst += length;
    }
    return {status, area + kSingles, static_cast<size_t>(dst - area) - kSingles};
}

LzwStatus LzwDecompress(std::vector<uint8_t>& buffer, size_t expected)
{
    const LzwDecoded d = LzwDecodeStrip(buffer.data(), buffer.size(), expected);
    buffer.assign(d.data, d.data + d.size);
    return d.status == LzwStatus::Overflow ? LzwStatus::Corrupt : d.status;
}
