#include "kernel/listaccess/colourset.h"

#include <algorithm>

#include "kernel/workrecord.h"

namespace {
constexpr size_t kSetBits = 32;

size_t SymbolCount()
{
    return std::min(ZrVar.Symbols.size(), kSetBits);
}
}  // namespace

std::string ColourSetToText(uint32_t set)
{
    std::string text;
    const size_t n = SymbolCount();
    for (size_t i = 0; i < n; ++i)
        if (set & (uint32_t{1} << i))
            text += ZrVar.Symbols[i];
    return text;
}

uint32_t TextToColourSet(const std::string& text)
{
    uint32_t set = 0;
    const size_t n = SymbolCount();
    for (size_t i = 0; i < n; ++i)
        if (text.find(ZrVar.Symbols[i]) != std::string::npos)
            set |= uint32_t{1} << i;
    return set;
}
