#include "kernel/listaccess/colourset.h"

#include <algorithm>
#include <array>
#include <bit>

#include "kernel/workrecord.h"

namespace {
constexpr size_t kSetBits = 32;

size_t SymbolCount()
{
    return std::min(ZrVar.Symbols.size(), kSetBits);
}

// For every character the bits of the symbols it stands for. Loading a
// program turns tens of thousands of texts into sets, so the symbol string
// is not searched once per symbol and text; the table follows the symbol
// string whenever that changes.
struct SymbolBits {
    std::string symbols;  // what the table was built from
    bool built = false;
    std::array<uint32_t, 256> bits{};

    const std::array<uint32_t, 256>& Current()
    {
        if (!built || symbols != ZrVar.Symbols) {
            symbols = ZrVar.Symbols;
            bits.fill(0);
            const size_t n = SymbolCount();
            for (size_t i = 0; i < n; ++i)
                bits[static_cast<unsigned char>(symbols[i])] |= uint32_t{1} << i;
            built = true;
        }
        return bits;
    }
};

SymbolBits symbolBits;
}  // namespace

std::string ColourSetToText(uint32_t set)
{
    char text[kSetBits];
    size_t length = 0;
    const size_t n = SymbolCount();
    const char* symbols = ZrVar.Symbols.data();
    // Only the set bits are visited, lowest first: symbol order.
    for (uint32_t rest = set; rest != 0; rest &= rest - 1) {
        const auto i = static_cast<size_t>(std::countr_zero(rest));
        if (i >= n)
            break;
        text[length++] = symbols[i];
    }
    return std::string(text, length);
}

uint32_t TextToColourSet(std::string_view text)
{
    const std::array<uint32_t, 256>& bits = symbolBits.Current();
    uint32_t set = 0;
    for (const char c : text)
        set |= bits[static_cast<unsigned char>(c)];
    return set;
}
