#include "kernel/listaccess/colourset.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

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

    // Whether the table was built from these symbols. The usual 32 symbols
    // are compared in four words rather than through a library call.
    bool Same(const std::string& now) const
    {
        if (now.size() != symbols.size())
            return false;
        if (now.size() != kSetBits)
            return now == symbols;
        for (size_t i = 0; i < kSetBits; i += 8) {
            uint64_t a;
            uint64_t b;
            std::memcpy(&a, now.data() + i, 8);
            std::memcpy(&b, symbols.data() + i, 8);
            if (a != b)
                return false;
        }
        return true;
    }

    const std::array<uint32_t, 256>& Current()
    {
        if (!built || !Same(ZrVar.Symbols)) {
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
    const size_t n = SymbolCount();
    const uint32_t bits = n >= kSetBits ? set : set & ((uint32_t{1} << n) - 1);
    // The letters go straight into the text, lowest bit (symbol order) first.
    std::string text(static_cast<size_t>(std::popcount(bits)), '\0');
    const char* symbols = ZrVar.Symbols.data();
    size_t length = 0;
    for (uint32_t rest = bits; rest != 0; rest &= rest - 1)
        text[length++] = symbols[std::countr_zero(rest)];
    return text;
}

uint32_t TextToColourSet(std::string_view text)
{
    const std::array<uint32_t, 256>& bits = symbolBits.Current();
    uint32_t set = 0;
    for (const char c : text)
        set |= bits[static_cast<unsigned char>(c)];
    return set;
}
