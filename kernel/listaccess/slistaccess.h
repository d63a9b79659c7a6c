#pragma once
// Scheme sequence list (list 9): where the fields of a T_SLine sit, and the
// block fields its handler reads and writes.
#include <cstddef>
#include <cstdint>

namespace sline {
inline constexpr size_t kKind = 0;           // u8 0..1; 1 = no needle division fields
inline constexpr size_t kStart = 2;          // u16 1..9999
inline constexpr size_t kOffset = 4;         // i16
inline constexpr size_t kChoice = 6;         // u8 0..1
inline constexpr size_t kRepetitions = 8;    // u16
inline constexpr size_t kNeedleChoice = 10;  // u8 0..1
inline constexpr size_t kNeedleStart = 12;   // u16
// Bit 0: the offset at 16 is negative (only with choice 0); bits 1..7:
// the needle division offset choice.
inline constexpr size_t kNeedleOffsetChoice = 14;
inline constexpr size_t kNeedleOffset = 16;  // u16 magnitude
inline constexpr size_t kYStartFront = 18;   // u16
inline constexpr size_t kYOffsetFront = 20;  // i16
inline constexpr size_t kYStartBack = 22;    // u16
inline constexpr size_t kYOffsetBack = 24;   // i16
inline constexpr size_t kComment = 26;       // ShortString[80]
}  // namespace sline

namespace sblock {
inline constexpr size_t kKind = 9;
inline constexpr size_t kStart = 10;                // u16
inline constexpr size_t kOffset = 12;               // i16
inline constexpr size_t kChoice = 14;
inline constexpr size_t kRepetitions = 16;          // u16
inline constexpr size_t kNeedleChoice = 18;
inline constexpr size_t kNeedleStart = 20;          // u16
inline constexpr size_t kNeedleOffsetChoice = 22;
inline constexpr size_t kNeedleOffset = 24;         // i16
inline constexpr size_t kYStartFront = 26;          // u16
inline constexpr size_t kYOffsetFront = 28;         // i16
inline constexpr size_t kYStartBack = 30;           // u16
inline constexpr size_t kYOffsetBack = 32;          // i16
}  // namespace sblock

inline constexpr uint16_t kSLastLine = 9999;
