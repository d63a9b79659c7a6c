#include "pattern/motif/take_over_palette.h"

#include <algorithm>

namespace {

constexpr uint32_t Grey(uint32_t level)
{
    return 0xff000000u | (level << 16) | (level << 8) | level;
}

}  // namespace

void TakeOverPalette(const std::array<uint32_t, 256>& motif, std::array<uint32_t, 256>& table,
                     const PaletteTakeOver& how)
{
    table[255] = Grey(255);
    const auto count = static_cast<size_t>(std::clamp(how.count, 0, 256));
    std::copy_n(motif.begin(), count, table.begin());
    table[how.transparent] = Grey(253);
    if (how.fill)
        table[*how.fill] = Grey(254);
    if (how.second)
        table[*how.second] = Grey(50);
}
