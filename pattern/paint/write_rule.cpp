#include "pattern/paint/write_rule.h"

#include <algorithm>
#include <cstring>

namespace {

// 0xff where a flag byte is 1, 0 where it is 0.
inline uint8_t Mask(uint8_t flag) { return static_cast<uint8_t>(0u - flag); }

inline uint8_t Keep(uint8_t old, uint8_t colour, uint8_t keep) {
    return static_cast<uint8_t>((old & keep) | (colour & static_cast<uint8_t>(~keep)));
}

}  // namespace

bool AnyFlag(const ColourFlags& flags) {
    uint64_t any = 0;
    for (size_t i = 0; i < flags.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, flags.data() + i, 8);
        any |= word;
    }
    return any != 0;
}

void FilterPaintColour(const ColourFlags& T, const ColourFlags& P, uint8_t colour, uint8_t& cell) {
    if (T[colour] == 0 && P[cell] == 0)
        cell = colour;
}

namespace {

// Sixteen cells at a time, for the usual case of a few protected colours:
// a cell is kept where it equals one of them. Padding repeats the first.
using Cells16 = uint8_t __attribute__((vector_size(16)));

void RunByCompare(const uint8_t (&kept)[4], uint8_t colour, uint8_t* c, size_t n)
{
    const Cells16 fill = Cells16{} + colour;
    const Cells16 k0 = Cells16{} + kept[0], k1 = Cells16{} + kept[1], k2 = Cells16{} + kept[2],
                  k3 = Cells16{} + kept[3];
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        Cells16 v;
        std::memcpy(&v, c + i, 16);
        const auto keep = reinterpret_cast<Cells16>((v == k0) | (v == k1) | (v == k2) | (v == k3));
        const Cells16 out = (v & keep) | (fill & ~keep);
        std::memcpy(c + i, &out, 16);
    }
    for (; i < n; ++i) {
        const uint8_t o = c[i];
        const uint8_t keep = Mask(static_cast<uint8_t>((o == kept[0]) | (o == kept[1]) | (o == kept[2]) | (o == kept[3])));
        c[i] = Keep(o, colour, keep);
    }
}

}  // namespace

void FilterPaintRun(const ColourFlags& T, const ColourFlags& P, uint8_t colour, std::span<uint8_t> cells)
{
    if (T[colour] != 0 || cells.empty())
        return;
    uint8_t kept[4] = {};
    size_t count = 0;
    // Eight flags a word: a row is short, the flag table is not.
    for (size_t w = 0; w < P.size() && count <= 4; w += 8) {
        uint64_t word;
        std::memcpy(&word, P.data() + w, 8);
        for (size_t i = w; word != 0 && i < w + 8; ++i, word >>= 8)
            if ((word & 0xff) != 0 && count++ < 4)
                kept[count - 1] = static_cast<uint8_t>(i);
    }
    uint8_t* c = cells.data();
    const size_t n = cells.size();
    if (count == 0) {
        std::memset(c, colour, n);
        return;
    }
    if (count <= 4) {
        for (size_t k = count; k < 4; ++k)
            kept[k] = kept[0];
        RunByCompare(kept, colour, c, n);
        return;
    }
    for (size_t i = 0; i < n; ++i)
        c[i] = Keep(c[i], colour, Mask(P[c[i]]));
}

void FilterPaintRow(const ColourFlags& T, const ColourFlags& P, std::span<const uint8_t> colours,
                    std::span<uint8_t> cells) {
    const size_t n = std::min(colours.size(), cells.size());
    const uint8_t* s = colours.data();
    uint8_t* c = cells.data();
    for (size_t i = 0; i < n; ++i)
        c[i] = Keep(c[i], s[i], Mask(static_cast<uint8_t>(T[s[i]] | P[c[i]])));
}
