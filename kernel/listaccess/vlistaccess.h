#pragma once
// Racking list (list 4): where the fields of a T_VLine sit, and the block
// fields its handler reads and writes.
#include <cstddef>
#include <cstdint>

namespace vline {
inline constexpr size_t kInUse = 0;            // u8: 1 once written
inline constexpr size_t kDirection = 1;        // u8: 0 positive, 1 negative
inline constexpr size_t kAmount = 2;           // u8 0..28
inline constexpr size_t kCourse = 3;           // u8 0..2
inline constexpr size_t kFlag = 4;             // u8
inline constexpr size_t kTransfer = 5;         // u8 0..3
inline constexpr size_t kCorrectionLeft = 6;   // i16
inline constexpr size_t kCorrectionRight = 8;  // i16
inline constexpr size_t kStretch = 10;         // u16 0..255
inline constexpr size_t kSpeed = 12;           // u8 0..100
inline constexpr size_t kComment = 13;         // ShortString[80]
}  // namespace vline

namespace vblock {
inline constexpr size_t kRacking = 9;           // i8, 127 = not set
inline constexpr size_t kTransfer = 10;         // u8 0..3
inline constexpr size_t kFlag = 11;             // u8
inline constexpr size_t kCourse = 12;           // u8 course + 1 (0 taken as 1)
inline constexpr size_t kCorrectionLeft = 13;   // i8
inline constexpr size_t kCorrectionRight = 14;  // i8
inline constexpr size_t kStretch = 15;          // u8
inline constexpr size_t kSpeed = 16;            // u8 0..100
}  // namespace vblock

inline constexpr uint16_t kVLastLine = 1999;
inline constexpr int8_t kVRackingUnset = 127;
