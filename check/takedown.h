#pragma once
// The take-down the machine holds from stroke to stroke, as the program
// check keeps it, and the text each stroke hands to the simulation library.
// Byte values 101 ("e") are unset, 16-bit values 10000.
#include <cstdint>
#include <string>

inline constexpr uint8_t kTakeDownUnset = 101;
inline constexpr uint16_t kNeedleCountUnset = 10000;
inline constexpr uint8_t kPulseNone = 127;   // "*": no pulse
inline constexpr uint8_t kCodeOpen = 102;    // "O<>O"
inline constexpr uint8_t kCodeClose = 103;   // "O><O"

struct T_TakeDownState {
    uint8_t lower = kTakeDownUnset;
    uint8_t pulse = kTakeDownUnset;     // i8, or 127
    uint8_t pressure = kTakeDownUnset;  // a value below 101, or 102/103
    uint8_t upper = kTakeDownUnset;
    uint8_t upperCode = kTakeDownUnset;
    uint8_t upperKind = 0;              // 0 "+", 1 "-", 2 "*"
    uint16_t needles1 = kNeedleCountUnset;
    uint8_t value1 = kTakeDownUnset;
    uint8_t pulse1 = kTakeDownUnset;
    uint16_t needles2 = kNeedleCountUnset;
    uint8_t value2 = kTakeDownUnset;
    uint8_t pulse2 = kTakeDownUnset;
    uint8_t comb1 = kTakeDownUnset;
    uint16_t comb2 = kNeedleCountUnset;  // signed value, or unset
    std::string comment;                 // Windows-1252

    // Everything unset; the comment keeps its room.
    void reset();
    // Takes the set values of an A list line (98 bytes); the upper
    // take-down only on a machine with the comb take-down.
    void applyLine(const uint8_t* aLine, bool combMachine);
    // A lower take-down given directly (below 101; else nothing changes):
    // the needle-count take-down is cleared.
    void setLower(int32_t value);
    void clearNeedleCounts();

    bool lowerSet() const { return lower != kTakeDownUnset; }
    bool needleCountSet() const { return needles1 != kNeedleCountUnset || needles2 != kNeedleCountUnset; }
};

// The stroke's text, e.g. "WA: 020,-005; " or "WA: MIN 0050,030,040; ",
// written into out (its room is kept: no allocation once it is large).
void BuildTakeDownText(const T_TakeDownState& s, std::string& out);
