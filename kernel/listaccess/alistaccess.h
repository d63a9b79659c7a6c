#pragma once
// Take-down list (list 3): where the fields of a T_ALine sit, and the block
// fields its handler reads and writes. 101 ("e") marks a take-down byte as
// unset, 10000 a needle count as unused.
#include <cstddef>
#include <cstdint>

namespace aline {
inline constexpr size_t kListNumber = 0;      // u16
inline constexpr size_t kLowerValue = 2;      // u8 0..101
inline constexpr size_t kLowerPulse = 3;      // i8 -100..101, 127
inline constexpr size_t kLowerPressure = 4;   // u8 0..103
inline constexpr size_t kLowerOption = 5;     // u8
inline constexpr size_t kUpperValue = 6;      // u8 0..101
inline constexpr size_t kUpperPressure = 7;   // u8 0..103
inline constexpr size_t kNeedleCount1 = 8;    // u16 0..10000
inline constexpr size_t kRelativeValue1 = 10; // u8 0..100
inline constexpr size_t kRelativePulse1 = 11; // u8 0..100
inline constexpr size_t kNeedleCount2 = 12;   // u16 0..10000
inline constexpr size_t kRelativeValue2 = 14; // u8 0..100
inline constexpr size_t kRelativePulse2 = 15; // u8 0..100
inline constexpr size_t kComment = 16;        // ShortString[80]
}  // namespace aline

namespace ablock {
inline constexpr size_t kListNumber = 10;
inline constexpr size_t kLowerValue = 12;
inline constexpr size_t kLowerOption = 13;
inline constexpr size_t kUpperValue = 14;
inline constexpr size_t kLowerPressure = 15;
inline constexpr size_t kUpperPressure = 16;
inline constexpr size_t kLowerPulse = 17;
inline constexpr size_t kNeedleCount1 = 18;  // u16
inline constexpr size_t kNeedleCount2 = 20;  // u16
inline constexpr size_t kRelativeValue1 = 22;
inline constexpr size_t kRelativeValue2 = 23;
inline constexpr size_t kRelativePulse1 = 24;
inline constexpr size_t kRelativePulse2 = 25;
}  // namespace ablock

inline constexpr uint16_t kALastLine = 1999;
inline constexpr uint16_t kANeedleCountUnused = 10000;
inline constexpr uint8_t kAPulseUnset = 127;
