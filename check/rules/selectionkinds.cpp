#include "check/rules/selectionkinds.h"

#include <array>
#include <string>

namespace {

// Net type with letter n (A = 1 .. F = 6) and digit d: d = 1 is one needle
// in n, d = 2 one in 2n, d = 3 the middle one of 2n.
std::string NetPattern(int n, int d)
{
    switch (d) {
    case 1:
        return "1" + std::string(size_t(n - 1), '0');
    case 2:
        return "1" + std::string(size_t(2 * n - 1), '0');
    default:
        return std::string(size_t(n), '0') + "1" + std::string(size_t(n - 1), '0');
    }
}

std::array<std::string, 29> MakePatterns()
{
    std::array<std::string, 29> p;
    p[1] = "1";
    p[3] = "01";
    p[4] = "101";
    p[5] = "10";
    p[6] = "010";
    for (int kind = 11; kind <= 28; ++kind)
        p[size_t(kind)] = NetPattern((kind - 11) / 3 + 1, (kind - 11) % 3 + 1);
    return p;
}

}  // namespace

std::string_view SelectionKindPattern(uint8_t kind)
{
    static const std::array<std::string, 29> patterns = MakePatterns();
    if (kind >= patterns.size())
        return {};
    return patterns[kind];
}
