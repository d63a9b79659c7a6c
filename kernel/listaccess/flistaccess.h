#pragma once
// Stitch density list (list 2): where the fields of a T_FLine sit, and the
// block fields its handler reads and writes.
#include <cstddef>
#include <cstdint>

namespace fline {
inline constexpr size_t kListNumber = 0;  // u16; 0 = continuation line of the sub-list above
inline constexpr size_t kLeftMode = 2;    // u8 0..2
inline constexpr size_t kLeftValue = 4;   // u16
inline constexpr size_t kRightMode = 6;   // u8 0..2
inline constexpr size_t kRightValue = 8;  // u16
inline constexpr size_t kColours = 12;    // u32 colour set
inline constexpr size_t kComment = 16;    // ShortString[80]
}  // namespace fline

namespace fblock {
inline constexpr size_t kListNumber = 10;  // u16 0..1999
inline constexpr size_t kLeftMode = 12;    // u8 0..2
inline constexpr size_t kLeftValue = 14;   // u16
inline constexpr size_t kRightMode = 16;   // u8 0..3, 3 stored as 0
inline constexpr size_t kRightValue = 18;  // u16
inline constexpr size_t kForce = 20;       // u8: 1 writes an all-zero line too
inline constexpr size_t kColours = 21;     // ShortString[32] of symbol letters
inline constexpr size_t kColoursCap = 32;
}  // namespace fblock

inline constexpr uint16_t kFLastLine = 1999;
