#pragma once
// Yarn-carrier position list (list 5): where the fields of a T_PLine sit,
// and the block fields its handler reads and writes.
#include <cstddef>
#include <cstdint>

namespace pline {
inline constexpr size_t kListNumber = 0;   // u16
inline constexpr size_t kRail = 2;         // u8 1..8, 0 = none
inline constexpr size_t kBox = 3;          // u8 1..8 = "A".."H", 0 = none
inline constexpr size_t kSwingLeft = 4;    // u8 0, 2 or 3
inline constexpr size_t kSwingRight = 5;   // u8 0, 2 or 3
inline constexpr size_t kColours = 8;      // u32 colour set
inline constexpr size_t kOffsetLeft = 12;  // i16, -32768 = not set
inline constexpr size_t kOffsetRight = 14; // i16, -32768 = not set
inline constexpr size_t kComment = 16;     // ShortString[80]
}  // namespace pline

namespace pblock {
inline constexpr size_t kListNumber = 10;  // u16 0..1999
inline constexpr size_t kRail = 12;        // u8 0..8
inline constexpr size_t kBox = 13;         // character: blank or "A".."H"
inline constexpr size_t kSwingLeft = 14;
inline constexpr size_t kSwingRight = 15;
inline constexpr size_t kOffsetLeft = 16;  // i16
inline constexpr size_t kOffsetRight = 18; // i16
inline constexpr size_t kForce = 20;       // u8, 0 after a read
inline constexpr size_t kColours = 21;     // ShortString[32] of symbol letters
inline constexpr size_t kColoursCap = 32;
}  // namespace pblock

inline constexpr uint16_t kPLastLine = 1999;
inline constexpr uint16_t kPOffsetUnset = 32768;
