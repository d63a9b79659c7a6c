#include "pattern/motif/line_kernels.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZORIT_BYTE_SHUFFLE 1
#endif

namespace {

using Cells16 = uint8_t __attribute__((vector_size(16)));
using Pairs8 = uint16_t __attribute__((vector_size(16)));
using Quads4 = uint32_t __attribute__((vector_size(16)));

// A quarter turn walks sixteen source columns down a band of source rows at
// a time: the sixteen target lines it fills are long runs the caches can
// stream, and the band's source lines are still at hand for the next
// sixteen columns.
constexpr int32_t kRowBand = 1024;

Cells16 Load(const uint8_t* p)
{
    Cells16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void Store(uint8_t* p, Cells16 v)
{
    std::memcpy(p, &v, sizeof v);
}

Cells16 InterleaveLow(Cells16 a, Cells16 b)
{
    return __builtin_shufflevector(a, b, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
}

Cells16 InterleaveHigh(Cells16 a, Cells16 b)
{
    return __builtin_shufflevector(a, b, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
}

// Sixteen lines of sixteen cells become sixteen columns: four rounds of
// interleaving line k with line k + 8 transpose the block.
void Transpose(Cells16 (&v)[16])
{
#pragma GCC unroll 4
    for (int round = 0; round < 4; ++round) {
        Cells16 o[16];
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k) {
            o[2 * k] = InterleaveLow(v[k], v[k + 8]);
            o[2 * k + 1] = InterleaveHigh(v[k], v[k + 8]);
        }
        std::copy(o, o + 16, v);
    }
}

// Sixteen cells in reverse order, in steps every vector unit has: the four
// quarters, the pairs in each quarter, the cells in each pair.
Cells16 Reversed(Cells16 v)
{
    Quads4 q = reinterpret_cast<Quads4>(v);
    q = __builtin_shufflevector(q, q, 3, 2, 1, 0);
    Pairs8 p = reinterpret_cast<Pairs8>(q);
    p = __builtin_shufflevector(p, p, 1, 0, 3, 2, 5, 4, 7, 6);
    p = static_cast<Pairs8>((p << 8) | (p >> 8));
    return reinterpret_cast<Cells16>(p);
}

}  // namespace

namespace {

// Reverses a line 64 cells at a time, sixteen by each reverse16, then
// sixteen and one at a time.
template <typename Reverse16>
inline __attribute__((always_inline)) void ReverseLine(const uint8_t* in, uint8_t* out, int32_t n,
                                                       const uint8_t* upcoming, Reverse16 reverse16)
{
    int32_t i = 0;
    for (; i + 64 <= n; i += 64) {
        // Lines reversed one after the other break the streams the
        // hardware fetches ahead: fetch the upcoming line alongside.
        __builtin_prefetch(upcoming + n - 64 - i);
        const uint8_t* from = in + n - 64 - i;
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k)
            reverse16(from + 48 - 16 * k, out + i + 16 * k);
    }
    for (; i + 16 <= n; i += 16)
        reverse16(in + n - 16 - i, out + i);
    for (; i < n; ++i)
        out[i] = in[n - 1 - i];
}

#ifdef ZORIT_BYTE_SHUFFLE
// One byte shuffle where the processor has it.
__attribute__((target("ssse3"))) void ReverseCellsByShuffle(const uint8_t* in, uint8_t* out, int32_t n,
                                                            const uint8_t* upcoming)
{
    const __m128i order = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    ReverseLine(in, out, n, upcoming, [order](const uint8_t* from, uint8_t* to) __attribute__((target("ssse3"))) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_shuffle_epi8(v, order));
    });
}

const bool kByteShuffle = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
}();
#endif

}  // namespace

void ReverseCells(const uint8_t* in, uint8_t* out, int32_t n, const uint8_t* upcoming)
{
#ifdef ZORIT_BYTE_SHUFFLE
    if (kByteShuffle)
        return ReverseCellsByShuffle(in, out, n, upcoming);
#endif
    ReverseCellsPortably(in, out, n, upcoming);
}

void ReverseCellsPortably(const uint8_t* in, uint8_t* out, int32_t n, const uint8_t* upcoming)
{
    ReverseLine(in, out, n, upcoming, [](const uint8_t* from, uint8_t* to) { Store(to, Reversed(Load(from))); });
}

void OddCells(const uint8_t* in, uint8_t* out, int32_t n)
{
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const Cells16 a = Load(in + 2 * i);
        const Cells16 b = Load(in + 2 * i + 16);
        Store(out + i, __builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31));
    }
    for (; i < n; ++i)
        out[i] = in[2 * i + 1];
}

void TurnBlock(const uint8_t* in, size_t inStride, int32_t width, int32_t rows, uint8_t* out, size_t outStride)
{
    auto target = [&](int32_t column) { return out + static_cast<size_t>(width - 1 - column) * outStride; };
    auto cell = [&](int32_t y, int32_t c) { return in[static_cast<size_t>(y) * inStride + c]; };
    auto cellByCell = [&](int32_t c0, int32_t c1, int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y)
            for (int32_t c = c0; c < c1; ++c)
                target(c)[y] = cell(y, c);
    };
    for (int32_t band = 0; band < rows; band += kRowBand) {
        const int32_t bandEnd = std::min(rows, band + kRowBand);
        int32_t c0 = 0;
        for (; c0 + 16 <= width; c0 += 16) {
            int32_t y0 = band;
            for (; y0 + 16 <= bandEnd; y0 += 16) {
                Cells16 v[16];
#pragma GCC unroll 16
                for (int k = 0; k < 16; ++k)
                    v[k] = Load(in + static_cast<size_t>(y0 + k) * inStride + c0);
                Transpose(v);
#pragma GCC unroll 16
                for (int j = 0; j < 16; ++j)
                    Store(target(c0 + j) + y0, v[j]);
            }
            cellByCell(c0, c0 + 16, y0, bandEnd);
        }
        cellByCell(c0, width, band, bandEnd);
    }
}
