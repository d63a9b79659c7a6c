#pragma once
// What the save and the load of the machine program file share: the
// sections, their record sizes, and the value conversions with the gauge.
#include <array>
#include <cstdint>

#include "kernel/tkf/tkfcontainer.h"

namespace tkf {

// Record sizes of the sections.
constexpr uint32_t kSRecord = 24;
constexpr uint32_t kNRecord = 8;
constexpr uint32_t kWRecord = 18;
constexpr uint32_t kFRecord = 14;
constexpr uint32_t kZRecordBase = 22;
constexpr uint32_t kZSystemEntry = 8;
constexpr uint32_t kPRecord = 16;
constexpr uint32_t kARecord = 20;
constexpr uint32_t kVRecord = 10;
constexpr uint32_t kCRecord = 3538;
constexpr uint32_t kSpecialRecord = 24;
constexpr uint32_t kCommentRecord = 81;  // staging record: ShortString[80]
constexpr uint32_t kCommentMax = 80;

constexpr uint32_t ZRecordSize(int systems)
{
    return kZRecordBase + kZSystemEntry * static_cast<uint32_t>(systems);
}

// Section names as the progress box shows them.
constexpr const char* kNameS = "S-Liste ";
constexpr const char* kNameN = "N-Liste ";
constexpr const char* kNameW = "W-Liste ";
constexpr const char* kNameF = "F-Liste ";
constexpr const char* kNameZ = "Z-Liste ";
constexpr const char* kNameP = "P-Liste ";
constexpr const char* kNameA = "A-Liste ";
constexpr const char* kNameV = "V-Liste ";
constexpr const char* kNameC = "C-Liste ";
constexpr const char* kNameSpecial = "SF-Liste";
constexpr const char* kNameComments = "K-Liste ";

// The default special record: pattern line mode 0, value 0.
using SpecialRecord = std::array<uint8_t, kSpecialRecord>;
constexpr SpecialRecord DefaultSpecialRecord()
{
    SpecialRecord r{};
    r[17] = 0x80;
    return r;
}

// Set-up section offsets (lv = selector level 1..8, n = needle-room line
// 1..8, k = value 0..7, rail 1..8, box 0..7).
namespace crec {
constexpr uint32_t kSpeed = 0;  // 0, 1, 2
constexpr uint32_t kReversal = 3;
constexpr uint32_t TakeDown(int lv) { return 3 + lv; }
constexpr uint32_t PieceCount(int lv) { return 10 + 2 * lv; }
constexpr uint32_t LengthLimit(int lv) { return 26 + 2 * lv; }
constexpr uint32_t RoomStart(int lv, int n) { return 26 + 16 * lv + 2 * n; }
constexpr uint32_t RoomEnd(int lv, int n) { return 154 + 16 * lv + 2 * n; }
constexpr uint32_t kCoupling = 300;
constexpr uint32_t CarrierValue(int k, int rail, int box) { return 1342 + 128 * k + 16 * rail + 2 * box; }
constexpr uint32_t CarrierAttribute(int rail, int box) { return 2374 + 8 * rail + box; }
constexpr uint32_t Exchange(int n) { return 2445 + n; }
constexpr uint32_t kFfMin = 2454;
constexpr uint32_t kFfMax = 2456;
constexpr uint32_t kFfDis = 2458;
constexpr uint32_t kOptions = 2459;  // bit 0 setting 43, bit 1 setting 45
constexpr uint32_t kColours = 2492;
constexpr uint32_t kLevel = 2497;  // level - 1
static_assert(CarrierValue(7, 8, 7) + 2 <= CarrierAttribute(1, 0));
static_assert(CarrierAttribute(8, 7) < Exchange(1));
}  // namespace crec

// The machine value written when the model has one and the record holds none.
constexpr uint16_t kDefaultCoupling = 53;

// Marks of a carrier value in the set-up section.
constexpr uint16_t kCarrierPositive = 0x8000;
constexpr uint16_t kCarrierNegative = 0x2000;
constexpr uint16_t kUnset16 = 0x8000;  // 32768: value not set

// gauge * value / 100 to the nearest integer, halves to the even neighbour,
// in 32 bits.
constexpr int32_t FromGaugeFree(int32_t value, uint32_t gauge)
{
    const int64_t n = static_cast<int64_t>(value < 0 ? -value : value) * gauge;
    int64_t q = n / 100;
    const int64_t r = n % 100;
    if (r > 50 || (r == 50 && (q % 2) != 0))
        ++q;
    return static_cast<int32_t>(value < 0 ? -q : q);
}

}  // namespace tkf
