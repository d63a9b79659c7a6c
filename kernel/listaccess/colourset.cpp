#include "kernel/listaccess/colourset.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "kernel/model/workrecord.h"

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
        uint64_t differ = 0;
        for (size_t i = 0; i < kSetBits; i += 8) {
            uint64_t a;
            uint64_t b;
            std::memcpy(&a, now.data() + i, 8);
            std::memcpy(&b, symbols.data() + i, 8);
            differ |= a ^ b;
        }
        return differ == 0;
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

// The set reduced to the symbols there are.
uint32_t UsableBits(uint32_t set)
{
    const size_t n = SymbolCount();
    return n >= kSetBits ? set : set & ((uint32_t{1} << n) - 1);
}

// The number of set bits; std::popcount becomes a library call on the
// processors this is built for.
size_t BitCount(uint32_t x)
{
    x = x - ((x >> 1) & 0x55555555u);
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    return static_cast<size_t>((((x + (x >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

}  // namespace

std::string ColourSetToText(uint32_t set)
{
    const uint32_t bits = UsableBits(set);
    // The letters go straight into the text, lowest bit (symbol order) first.
    std::string text(BitCount(bits), '\0');
    const char* symbols = ZrVar.Symbols.data();
    size_t length = 0;
    for (uint32_t rest = bits; rest != 0; rest &= rest - 1)
        text[length++] = symbols[std::countr_zero(rest)];
    return text;
}

void ColourSetToShortString(uint32_t set, uint8_t* buf, size_t off, size_t cap)
{
    const char* symbols = ZrVar.Symbols.data();
    uint8_t* letters = buf + off + 1;
    size_t length = 0;
    for (uint32_t rest = UsableBits(set); rest != 0 && length < cap; rest &= rest - 1)
        letters[length++] = static_cast<uint8_t>(symbols[std::countr_zero(rest)]);
    buf[off] = static_cast<uint8_t>(length);
}

uint32_t TextToColourSet(std::string_view text)
{
    const std::array<uint32_t, 256>& bits = symbolBits.Current();
    uint32_t set = 0;
    for (const char c : text)
        set |= bits[static_cast<unsigned char>(c)];
    return set;
}
