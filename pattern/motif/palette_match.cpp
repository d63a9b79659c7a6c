#include "pattern/motif/palette_match.h"

#include <algorithm>
#include <limits>

namespace {

int32_t Channel(uint32_t colour, int shift)
{
    return static_cast<int32_t>((colour >> shift) & 0xffu);
}

int64_t Distance(uint32_t a, uint32_t b)
{
    int64_t sum = 0;
    for (int shift : {16, 8, 0}) {
        const int64_t d = Channel(a, shift) - Channel(b, shift);
        sum += d * d;
    }
    return sum;
}

}  // namespace

uint8_t NearestPaletteColour(const std::array<uint32_t, 256>& table, int32_t count, uint32_t rgb)
{
    count = std::clamp(count, 1, 256);
    uint8_t best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (int32_t i = 0; i < count; ++i) {
        const int64_t d = Distance(table[static_cast<size_t>(i)], rgb);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<uint8_t>(i);
        }
    }
    return best;
}

void MatchToPalette(Bmp8& picture, const std::array<uint32_t, 256>& table, int32_t count)
{
    // The picture holds at most 256 colours: match each once.
    std::array<uint8_t, 256> to{};
    for (size_t i = 0; i < to.size(); ++i)
        to[i] = NearestPaletteColour(table, count, picture.colours[i]);
    for (uint8_t& pixel : picture.pixels)
        pixel = to[pixel];
    picture.colours = table;
    picture.trueColour = false;
}
