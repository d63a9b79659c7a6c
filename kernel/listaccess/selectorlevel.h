#pragma once
// Selector levels 1..8 index the selector list and the set-up record. A
// level outside that range (a reset record holds 0, a damaged copy
// anything) is taken as level 1, so that it never lands on another field.
#include <cstdint>

inline constexpr int kSelectorLevels = 8;

inline int UsableSelectorLevel(int level)
{
    return (level >= 1 && level <= kSelectorLevels) ? level : 1;
}
