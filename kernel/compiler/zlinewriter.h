#pragma once
// The module compile's writer of knitting scheme (Z) lines: every field
// group goes to the dispatcher in a block of its own (function 1, sub-function
// 2, count 1) for the current line, system and side. A number that does not
// fit the block field it travels in fails with the code the list gives for
// that field, so it never wraps into range.
#include <cstdint>
#include <string>

#include "kernel/model/programcommandblock.h"

class ZLineWriter {
public:
    // The field groups (selectors) of the knitting scheme list.
    static constexpr uint8_t kTakeDown = '=';
    static constexpr uint8_t kSpeed = '>';
    static constexpr uint8_t kFlagSZ = 63;
    static constexpr uint8_t kFlagBlow = 64;
    static constexpr uint8_t kFlagSensor = 65;
    static constexpr uint8_t kRacking = 'B';
    static constexpr uint8_t kClamps = 'C';
    static constexpr uint8_t kScissors = 'D';
    static constexpr uint8_t kComb = 'E';
    static constexpr uint8_t kCarriers = 'G';
    static constexpr uint8_t kFlagH = 'H';
    static constexpr uint8_t kCam = 'I';
    static constexpr uint8_t kPatternLine = 'J';
    static constexpr uint8_t kDensity = 'K';
    static constexpr uint8_t kFlagL = 'L';
    static constexpr uint8_t kPressJack = 'M';
    static constexpr uint8_t kSelection = 'N';
    static constexpr uint8_t kFlagO = 'O';

    uint16_t line = 0;   // current Z line; 0 before the first carriage pass
    uint8_t system = 0;  // 1..6
    uint8_t side = 0;    // 0 front, 1 back

    // A block for the current line, system and side.
    ProgramCommandBlock Block(uint8_t selector, uint8_t sub = 2) const;
    static int32_t Send(ProgramCommandBlock& block);

    int32_t ReInitLine() const;  // sub-function 3
    int32_t Flag(uint8_t selector) const;
    int32_t TakeDown(uint8_t mode, int64_t value) const;
    int32_t Speed(uint8_t mode, int64_t value) const;
    // Entry 1 (RV) or 2 (MV): a racking list reference, or a direct step and
    // transfer racking code.
    int32_t Racking(bool entry1, int64_t reference, int64_t step, uint8_t code) const;
    int32_t Clamps(const char (&commands)[4], int64_t value) const;
    int32_t Scissors(bool bit0, bool bit1, int64_t value) const;
    int32_t Comb(char command) const;
    // A carrier given directly (1..8) or a yarn-carrier position list number.
    int32_t Carrier(bool direct, int64_t value) const;
    int32_t Cam(uint8_t code) const;
    int32_t PatternLine(uint8_t onSide, uint8_t mode, int64_t value) const;
    // Stitch density 1 or 2 of the current side; onSide other than the
    // current one where the caller says so.
    int32_t Density(bool first, uint8_t mode, int64_t value) const;
    int32_t DensityOn(uint8_t onSide, bool first, uint8_t mode, int64_t value) const;
    int32_t PressJack(uint8_t value) const;
    int32_t Selection(uint8_t entry, const std::string& text) const;
    int32_t OFlags(uint8_t byte9, uint8_t byte10) const;

    // Reads of the current line (sub-function 0) for the selection fix-up.
    int32_t ReadSelection(uint8_t entry, std::string& text) const;
    int32_t ReadDensity(bool first, uint8_t& mode, uint16_t& value) const;

private:
    uint8_t SystemByte(uint8_t onSide) const;
};
