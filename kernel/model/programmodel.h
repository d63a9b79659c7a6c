#pragma once
// The program header, the set-up record and the three pattern planes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/model/bytes.h"

// Program header, 28 bytes, stored whole in the RAM copy.
struct T_ProgrammKopf {
    static constexpr size_t kSize = 28;
    std::array<uint8_t, kSize> b{};

    uint8_t* data() { return b.data(); }
    const uint8_t* data() const { return b.data(); }
    void clear() { b.fill(0); }

    std::string Model() const { return ReadShortString(b.data(), 0, 3); }
    void SetModel(const std::string& m) { WriteShortString(b.data(), 0, 3, m); }
    uint8_t Gauge() const { return b[4]; }
    void SetGauge(uint8_t g) { b[4] = g; }
    uint16_t MaxUnitD() const { return get_u16(b.data(), 6); }
    uint16_t MaxRacking() const { return get_u16(b.data(), 8); }
    bool ModelOption() const { return b[10] != 0; }
    bool TakeDownColumns() const { return b[11] != 0; }
    std::string Name() const { return ReadShortString(b.data(), 12, 8); }
    void SetName(const std::string& n) { WriteShortString(b.data(), 12, 8, n); }
    uint16_t Width() const { return get_u16(b.data(), 22); }
    void SetWidth(uint16_t w) { put_u16(b.data(), 22, w); }
    uint16_t Height() const { return get_u16(b.data(), 24); }
    void SetHeight(uint16_t h) { put_u16(b.data(), 24, h); }
    uint8_t MachineKind() const { return b[26]; }
};
static_assert(sizeof(std::array<uint8_t, T_ProgrammKopf::kSize>) == 28);

// The header rules the machine data call: bytes 6 and 8 from the gauge.
void SetGaugeFields(T_ProgrammKopf& kopf, uint8_t gauge);
// Bytes 10, 11 and 26 from the model lookup of the work record.
void SetModelFields(T_ProgrammKopf& kopf, const std::string& model);

// Set-up record, 2580 bytes, stored whole in the RAM copy. WE is a selector
// level 1..8, L a needle-room line 1..8, r a carrier rail 1..8, b a carrier
// box 0..7 (A..H), k 0..7.
struct T_RuestSchema {
    static constexpr size_t kSize = 2580;
    std::array<uint8_t, kSize> b{};

    uint8_t* data() { return b.data(); }
    const uint8_t* data() const { return b.data(); }
    void clear() { b.fill(0); }

    static constexpr size_t kLevel = 0;
    static constexpr size_t kSpeed = 1;  // 1, 2, 3
    static constexpr size_t TakeDown(int we) { return 3 + we; }
    static constexpr size_t PieceCount(int we) { return 10 + 2 * we; }
    static constexpr size_t LengthLimit(int we) { return 26 + 2 * we; }
    static constexpr size_t RoomStart(int line, int we) { return 26 + 16 * line + 2 * we; }
    static constexpr size_t RoomEnd(int line, int we) { return 154 + 16 * line + 2 * we; }
    static constexpr size_t CarrierType(int r, int box) { return 284 + 16 * r + 2 * box; }
    static constexpr size_t CarrierAttr(int r, int box) { return 285 + 16 * r + 2 * box; }
    static constexpr size_t CarrierSet2(int k, int r, int box) { return 412 + 128 * k + 16 * r + 2 * box; }
    static constexpr size_t CarrierSet1(int k, int r, int box) { return 1436 + 128 * k + 16 * r + 2 * box; }
    static constexpr size_t Exchange(int n) { return 2475 + n; }
    static constexpr size_t kBackground = 2484;
    static constexpr size_t kComb = 2488;
    static constexpr size_t kClamp1 = 2489;
    static constexpr size_t kCoupling = 2490;
    static constexpr size_t kStrokeReversal = 2492;
    static constexpr size_t kFfMin = 2493;
    static constexpr size_t kFfMax = 2495;
    static constexpr size_t kFfDis = 2497;
    static constexpr size_t kComment = 2499;
};

// One pattern plane: rows of 2000 cells in one block, height + 1 rows.
inline constexpr size_t kPatternStride = 2000;
struct T_Patrone {
    bool present = false;
    bool second = false;
    std::vector<uint8_t> rows;  // rowCount() * kPatternStride bytes

    size_t rowCount() const { return rows.size() / kPatternStride; }
    // Gives the plane height + 1 zeroed rows.
    void allocate(uint16_t height);
    void release();
};

extern T_ProgrammKopf ProgrammKopf;
extern T_RuestSchema RuestSchema;
extern T_Patrone BildEbene0;
extern T_Patrone BildEbene1;
extern T_Patrone BildEbene2;

// The plane by number (0..2), else nullptr.
T_Patrone* PatternPlane(int plane);

// Address of a row of a plane. A row above the pattern height gives row 0 of
// plane 0; a plane above 2 leaves p as it was. Never an unallocated address:
// a row the plane does not hold gives a scratch row that belongs to no plane.
uint8_t* F_PatroneRow(uint16_t row, uint8_t*& p, uint8_t plane);
// Copies count bytes (at most 2000) of a row out; rows the plane does not
// hold read as zeros.
void P_ReadPatroneRow(uint16_t row, uint8_t* buffer, uint16_t count, uint8_t plane);
// Copies count bytes (at most 2000) into a row; rows the plane does not hold
// are left alone.
void P_WritePatroneRow(uint16_t row, const uint8_t* buffer, uint16_t count, uint8_t plane);
// Colour index + 1 of cell (x, y) of plane 0, 99 outside the pattern.
uint8_t PatternCell(uint16_t x, uint16_t y);
