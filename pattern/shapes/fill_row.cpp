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
template <bool kSameLevel>
int64_t ScanWords(const uint8_t* current, const uint8_t* reference, const uint8_t* marks, uint64_t c0s, uint64_t r0s,
                  int64_t i, int64_t end, int step, bool fillable)
{
    auto misfits = [&](int64_t at) {
        uint64_t w = (Load(current + at) ^ c0s) | Load(marks + at);
        if constexpr (!kSameLevel)
            w |= Load(reference + at) ^ r0s;
        return w;
    };
    if (step > 0) {
        if (fillable)
            while (i + 7 <= end && misfits(i) == 0)
                i += 8;
        else
            while (i + 7 <= end && !HasZeroByte(misfits(i)))
                i += 8;
    } else {
        if (fillable)
            while (i - 7 >= end && misfits(i - 7) == 0)
                i -= 8;
        else
            while (i - 7 >= end && !HasZeroByte(misfits(i - 7)))
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
        i = match_->sameLevel ? ScanWords<true>(current_, reference_, marks_, c0s, r0s, i, end, step, fillable)
                              : ScanWords<false>(current_, reference_, marks_, c0s, r0s, i, end, step, fillable);
    }
    for (; step > 0 ? i <= end : i >= end; i += step)
        if (Fillable(i) != fillable)
            return i;
    return i;
}

void FillRow::Mark(int64_t i1, int64_t i2)
{
    std::memset(marks_ + i1, 1, static_cast<size_t>(i2 - i1 + 1));
}
