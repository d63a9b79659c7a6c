#pragma once
// The selection kinds of a needle selection entry (the low byte of its
// mode) and the repeat patterns they select with.
#include <cstdint>
#include <string_view>

constexpr uint8_t kAutomaticReceiveKind = 2;

// Kinds 1 and 3 to 6: fixed selection programs, repeated with the needles.
constexpr bool IsFixedSelectionKind(uint8_t kind)
{
    return kind == 1 || (kind >= 3 && kind <= 6);
}
// Kinds 11 to 28: net types A1 .. F3, selected on the net back.
constexpr bool IsNetKind(uint8_t kind)
{
    return kind >= 11 && kind <= 28;
}

// The repeat pattern of a fixed or net kind ("1" = the needle is a target),
// empty for any other kind.
std::string_view SelectionKindPattern(uint8_t kind);
