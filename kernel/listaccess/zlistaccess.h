#pragma once
// The knitting scheme list (list 1): the layout of its 640-byte lines and
// the handler that reads or writes one field group of a line.
#include <cstddef>
#include <cstdint>

#include "kernel/listaccess/listaccess.h"

namespace zline {

constexpr size_t kTakeDownMode = 0;
constexpr size_t kTakeDownValue = 2;  // u16
constexpr size_t kSpeedMode = 4;
constexpr size_t kSpeedValue = 6;  // u16
constexpr size_t kFlag63 = 8;      // flags of selectors 63, 64, 65
constexpr size_t kRacking1 = 12;   // racking entries: u16 reference, i8 step, u8 code
constexpr size_t kRacking2 = 16;
constexpr size_t kRackingStep = 2;  // within an entry
constexpr size_t kRackingCode = 3;
constexpr size_t kClamps = 20;  // four commands
constexpr size_t kClampValue = 24;
constexpr size_t kScissorsBits = 25;
constexpr size_t kScissorsValue = 26;
constexpr size_t kComb = 27;
constexpr size_t kSystems = 28;
constexpr size_t kSystemSize = 88;
constexpr size_t kComment = 556;  // ShortString[80]

// Within a system block.
constexpr size_t kPListRef = 0;  // u16
constexpr size_t kCarriers = 2;  // bit n - 1 for carrier n
constexpr size_t kFlagH = 3;
constexpr size_t kFlagO = 4;
constexpr size_t kSides = 8;
constexpr size_t kSideSize = 40;

// Within a side block.
constexpr size_t kCam = 0;
constexpr size_t kPatternMode = 1;
constexpr size_t kPatternValue = 2;  // i16
constexpr size_t kDensity1Mode = 4;
constexpr size_t kDensity1Value = 6;  // u16
constexpr size_t kDensity2Mode = 8;
constexpr size_t kDensity2Value = 10;  // u16
constexpr size_t kFlagL = 12;
constexpr size_t kSelection = 16;  // entry e: u32 colour set at 16 + 8e, u32 mode at 20 + 8e
constexpr size_t kSelectionStep = 8;
constexpr size_t kSelectionEntries = 3;

constexpr int kMaxSystems = 6;

// Start of system s (1..6) and of its side (0, 1).
constexpr size_t System(int s)
{
    return kSystems + kSystemSize * static_cast<size_t>(s - 1);
}
constexpr size_t Side(int s, int side)
{
    return System(s) + kSides + kSideSize * static_cast<size_t>(side);
}

static_assert(System(kMaxSystems) + kSystemSize == kComment);
static_assert(kComment + 81 <= 640);

}  // namespace zline
