#pragma once
// Selector list (list 7): eight i16 values, one per selector level, and the
// block fields its handler reads and writes.
#include <cstddef>
#include <cstdint>

namespace wline {
inline constexpr size_t kValues = 0;    // i16 per selector level 1..8 at 0, 2, ..., 14
inline constexpr size_t kComment = 16;  // ShortString[80]
inline constexpr size_t Value(int level) { return kValues + 2 * size_t(level - 1); }
}  // namespace wline

namespace wblock {
// With this selector only the value of the current selector level travels.
inline constexpr uint8_t kOneLevel = 7;
inline constexpr size_t kValues = 10;  // i16 at 10 (one level) or 10, 12, ..., 24
}  // namespace wblock

inline constexpr uint16_t kWLastLine = 9999;
