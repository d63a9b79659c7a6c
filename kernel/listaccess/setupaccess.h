#pragma once
// Lists 10 and 12: the settings of the set-up record and the machine fields
// of the program header, by selector, and the block fields they travel in.
#include <cstddef>
#include <cstdint>

inline constexpr uint8_t kCarrierList = 10;
inline constexpr uint8_t kMachineList = 12;

// List 10: yarn carriers and carrier distances.
namespace carriersel {
inline constexpr uint8_t kFfMin = 20;     // u16 at 10, 1..9999
inline constexpr uint8_t kFfMax = 21;     // u16 at 10, 1..9999
inline constexpr uint8_t kFfDis = 22;     // byte 9, 1..255
inline constexpr uint8_t kExchange = 23;  // byte 9 carrier, byte 10 replacement
inline constexpr uint8_t kCarrier = 24;   // byte 9 rail, byte 10 box letter, 11.. below
inline constexpr uint8_t kComment = 25;   // ShortString[80] at 9
}  // namespace carriersel

namespace carrierblock {
inline constexpr size_t kRail = 9;
inline constexpr size_t kBox = 10;        // "A".."H"
inline constexpr size_t kType = 11;       // "I" intarsia, "N" or blank normal
inline constexpr size_t kAttribute = 12;  // 0..31; a read gives 2 (intarsia) or 1
inline constexpr size_t kValues1 = 14;    // eight i16, the first value set
inline constexpr size_t kValues2 = 30;    // eight i16, the second value set (read only)
}  // namespace carrierblock

// List 12: needle room and machine settings; the line field is 1..8.
namespace machinesel {
inline constexpr uint8_t kNeedleRoom = 12;  // line field = needle-room line; u16 at 10, 12
inline constexpr uint8_t kTakeDown = 31;    // byte 9
inline constexpr uint8_t kPieceCount = 32;  // u16 at 10
inline constexpr uint8_t kLengthLimit = 33; // u16 at 10
inline constexpr uint8_t kLevel = 34;       // byte 9, 1..8
inline constexpr uint8_t kSpeed1 = 35;      // byte 9; 36, 37 the other two speeds
inline constexpr uint8_t kSpeed3 = 37;
inline constexpr uint8_t kReversal = 38;    // byte 9, 0..1
inline constexpr uint8_t kBackground = 40;  // ShortString[32] at 9
inline constexpr uint8_t kModel = 41;       // ShortString at 9, 3 characters
inline constexpr uint8_t kGauge = 42;       // byte 9
inline constexpr uint8_t kComb = 43;        // flag; a read clears the selector when off
inline constexpr uint8_t kCoupling = 44;    // u16 at 10, 0..99
inline constexpr uint8_t kClamp1 = 45;      // flag, as kComb
}  // namespace machinesel

inline constexpr uint16_t kMachineLastLine = 8;
inline constexpr size_t kSetupCommentCap = 80;
inline constexpr size_t kBackgroundCap = 32;
inline constexpr uint16_t kCarrierValueUnset = 32768;
// The gauge a list-12 reset of needle-room line 1 gives the header.
inline constexpr uint8_t kResetGauge = 8;
