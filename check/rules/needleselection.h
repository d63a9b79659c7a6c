#pragma once
// The needle selection of one cam system in one stroke: from the system's
// block of the knitting scheme line, the needle map and the pattern rows it
// fills the front and back needle actions, and raises the selection
// messages (2, 12, 13, 16, 17, 18, 26).
#include <array>
#include <cstdint>
#include <span>

#include "check/rules/needleaction.h"

// Where the walk stands, for the messages: S line, Z row, system number as
// published for the stroke.
struct CheckPlace {
    int32_t sLine = 0;
    int32_t zRow = 0;
    int32_t system = 0;
};

struct SystemSelectionInput {
    // The system's 88 bytes of the knitting scheme line.
    std::span<const uint8_t> block;
    // Needle-room width W.
    int width = 0;
    // Pattern column per needle, W + 1 entries (0 = needle not used); empty
    // while no needle division is active.
    std::span<const uint16_t> needleMap;
    // Resolved pattern rows of the front and the back side (0 = none).
    int32_t frontRow = 0;
    int32_t backRow = 0;
    // Stroke to the right (odd Z row) or to the left.
    bool toRight = true;
    // Current racking: its amount in needle pitches and its flag.
    int rackingAmount = 0;
    bool rackingFlag = false;
    // The row racks (its second racking reference is set).
    bool rowRacks = false;
    CheckPlace place;
};

struct SystemSelectionResult {
    // Side 0 (front) or 1 (back) made needle selection 1 or 2: the system
    // counts as selecting for the library.
    std::array<bool, 2> selected{};
    // A selection asks for an intarsia tie-in and so for a yarn carrier.
    bool carrierWanted = false;
    // A side uses a fixed selection program (kind 1 or 3 to 6).
    bool fixedProgram = false;
};

// Clears the system's two action arrays (W + 1 entries each, as the walk
// owns them) and fills them. Fatal messages throw ECheckAbort with the
// arrays half filled; the walk drops them then. Arrays shorter than W + 1
// or a block shorter than 88 bytes: std::invalid_argument.
SystemSelectionResult SelectSystemNeedles(const SystemSelectionInput& in, std::span<T_NadelAktion> front,
                                          std::span<T_NadelAktion> back);
