#pragma once
// Needle division list (list 6): where the fields of a T_NLine sit, and the
// block fields its handler reads and writes.
#include <cstddef>
#include <cstdint>

namespace nline {
inline constexpr size_t kKind = 0;             // u8 0..1
inline constexpr size_t kStart = 2;            // u16 0..9999
inline constexpr size_t kOffset = 4;           // i16 -9999..9999
inline constexpr size_t kRepetitionKind = 6;   // u8 0..4 (0 and 1 swapped against the block)
inline constexpr size_t kRepetitionCount = 8;  // u16
inline constexpr size_t kComment = 10;         // ShortString[80]
}  // namespace nline

namespace nblock {
inline constexpr size_t kKind = 9;
inline constexpr size_t kStart = 10;            // u16
inline constexpr size_t kOffset = 12;           // i16
inline constexpr size_t kRepetitionKind = 14;   // u8
inline constexpr size_t kRepetitionCount = 16;  // u16
}  // namespace nblock

inline constexpr uint16_t kNLastLine = 1999;
