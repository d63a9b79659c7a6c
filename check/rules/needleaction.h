#pragma once
// What a needle does in one stroke of one cam system: one byte per needle,
// as the simulation library reads it.
#include <cstdint>
#include <span>

using T_NadelAktion = uint8_t;

namespace nadel {
constexpr T_NadelAktion kNone = 0;
constexpr T_NadelAktion kM = 'M';
constexpr T_NadelAktion kM2 = 'm';
constexpr T_NadelAktion kF = 'F';
constexpr T_NadelAktion kF2 = 'f';
constexpr T_NadelAktion kG = 'G';
constexpr T_NadelAktion kG2 = 'g';
constexpr T_NadelAktion kS = 'S';
constexpr T_NadelAktion kTransfer = 24;
constexpr T_NadelAktion kReceive = 25;

// The form an action takes under the second stitch density: "M", "F" and
// "G" become "m", "f" and "g"; every other action stays.
constexpr T_NadelAktion SecondForm(T_NadelAktion a)
{
    switch (a) {
    case kM:
        return kM2;
    case kF:
        return kF2;
    case kG:
        return kG2;
    default:
        return a;
    }
}
}  // namespace nadel

// The two beds of one cam system, W + 1 entries each (needles 1..W; entry 0
// is not used).
struct SystemActions {
    std::span<T_NadelAktion> front;
    std::span<T_NadelAktion> back;
};
