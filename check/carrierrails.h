#pragma once
// The yarn carriers on their eight rails as the program check keeps them
// from stroke to stroke, and the carrier moves of a stroke.
#include <array>
#include <cstdint>
#include <functional>

inline constexpr int kRails = 8;
inline constexpr int kCarriersPerRail = 8;
// Carriers closer than this on one rail are pushed apart.
inline constexpr int kCarrierSpacing = 30;
// A start or end beyond this means "from where the carrier stands".
inline constexpr int kCarrierFar = 30000;
inline constexpr uint16_t kNoTarget = 65535;

// One carrier move of a cam system in a stroke.
struct T_ZFfMove {
    uint8_t rail = 0;      // 1..8, after the rail map
    uint8_t carrier = 0;   // the number the library knows: box, or the carrier given directly
    uint8_t box = 0;       // 0..8; 0 for a carrier given directly
    uint8_t id = 0;        // unique per (rail, box)
    int16_t start = 0;     // needle-room positions
    int16_t end = 0;
    uint8_t colourMove = 0;
    char direction = '>';
    uint8_t mode1 = 0;     // the P line's swing left and right
    uint8_t mode2 = 0;
    uint8_t type = 0;      // 1: intarsia carrier
    uint16_t pLine = 0;    // the P line it came from, 0 for a direct carrier
};

// The identifier of carrier (rail, box): 1..72.
constexpr uint8_t CarrierId(int rail, int box)
{
    return static_cast<uint8_t>((rail - 1) * 9 + box + 1);
}

struct T_RailEntry {
    char home = 0;          // "L" entered with a stroke to the right, "R" to the left
    char lastDirection = 0;
    int16_t position = 0;
    uint16_t target = kNoTarget;
    uint8_t id = 0;
};

struct T_Rail {
    uint8_t count = 0;
    std::array<T_RailEntry, kCarriersPerRail> entries{};  // left to right
};

class CarrierRails {
public:
    // A neighbour pushed away: its identifier, its new position and home side.
    using PushSink = std::function<void(const T_RailEntry&)>;

    void clear();
    // Puts the move on its rail: the carrier found there or added at the end
    // it comes from, moved, its neighbours pushed apart in the direction of
    // the move. A start or end beyond +-30000 is replaced by the carrier's
    // position. False when the rail is full (a ninth carrier); nothing
    // changes then. An invalid direction throws std::runtime_error
    // "Interner Fehler: Strickrichtung" (translated).
    bool place(T_ZFfMove& move, const PushSink& pushed);
    // Marks the carrier's move as handed over.
    void clearTarget(uint8_t rail, uint8_t id);

    const T_Rail& rail(int r) const { return rails_[size_t(r - 1)]; }

private:
    std::array<T_Rail, kRails> rails_{};
};
