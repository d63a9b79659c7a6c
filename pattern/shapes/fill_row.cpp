#include "pattern/shapes/fill_row.h"

#include <cstring>

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

uint64_t Load(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool HasZeroByte(uint64_t v)
{
    return ((v - kOnes) & ~v & kHighs) != 0;
}

}  // namespace

FillMatch::FillMatch(uint8_t c0_, uint8_t r0_, const std::array<uint8_t, 256>& T, bool sameLevel_)
    : c0(c0_), r0(r0_), sameLevel(sameLevel_), plain(c0_ < 128 && r0_ < 128)
{
    for (int v = 0; v < 128; ++v) {
        currentOk[v] = v == c0 || T[v] != 0;
        referenceOk[v] = v == r0 || T[v] != 0;
        if (currentOk[v] != (v == c0) || (!sameLevel && referenceOk[v] != (v == r0)))
            plain = false;
    }
}

namespace {

// Whole words of eight alike cells at a time; gives where they stop.
template <bool kSameLevel, bool kMarks>
int64_t ScanWords(const uint8_t* current, const uint8_t* reference, const uint8_t* marks, uint64_t c0s, uint64_t r0s,
                  int64_t i, int64_t end, int step, bool fillable)
{
    auto misfits = [&](int64_t at) {
        uint64_t w = Load(current + at) ^ c0s;
        if constexpr (kMarks)
            w |= Load(marks + at);
        if constexpr (!kSameLevel)
            w |= Load(reference + at) ^ r0s;
        return w;
    };
    // Four words a turn first: the loads overlap.
    auto fits = [&](int64_t at) { return misfits(at) == 0; };
    auto blocked = [&](int64_t at) { return !HasZeroByte(misfits(at)); };
    auto four = [&](int64_t at) {
        if (fillable)
            return (misfits(at) | misfits(at + 8) | misfits(at + 16) | misfits(at + 24)) == 0;
        return blocked(at) && blocked(at + 8) && blocked(at + 16) && blocked(at + 24);
    };
    if (step > 0) {
        while (i + 31 <= end && four(i))
            i += 32;
        while (i + 7 <= end && (fillable ? fits(i) : blocked(i)))
            i += 8;
    } else {
        while (i - 31 >= end && four(i - 31))
            i -= 32;
        while (i - 7 >= end && (fillable ? fits(i - 7) : blocked(i - 7)))
            i -= 8;
    }
    return i;
}

}  // namespace

int64_t FillRow::Scan(int64_t i, int64_t end, int step, bool fillable) const
{
    if (match_->plain) {
        const uint64_t c0s = kOnes * match_->c0;
        const uint64_t r0s = kOnes * match_->r0;
        const auto scan = match_->sameLevel ? (match_->marks ? ScanWords<true, true> : ScanWords<true, false>)
                                            : (match_->marks ? ScanWords<false, true> : ScanWords<false, false>);
        i = scan(current_, reference_, marks_, c0s, r0s, i, end, step, fillable);
    }
    for (; step > 0 ? i <= end : i >= end; i += step)
        if (Fillable(i) != fillable)
            return i;
    return i;
}

void FillRow::Mark(int64_t i1, int64_t i2)
{
    if (!match_->marks)
        return;
    std::memset(marks_ + i1, 1, static_cast<size_t>(i2 - i1 + 1));
}
