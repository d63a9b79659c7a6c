#pragma once
// The item parsers of the header's list directives: each turns a
// directive's value into the blocks the dispatcher takes. Nothing here is
// sent; the header pass sends the blocks.
//
// How the items read where the language leaves it open (settled here):
// - items are separated by ",", a letter stands directly before its number:
//   "$N_1=X5,10,D2" is kind X, start 5, offset 10, repetition D, count 2;
//   "$S_1=Z1,0,W3,N10,0,2,1,2,1";
// - the two sides of a carrier position are parted by the work record's side
//   separator, "/": "$P_1=FF1A(+5N/-3S)[AB]";
// - the PRESS switch words are the work record's "ON" (103) and "OFF" (102);
// - a $S_ kind I item is flagged by the work record's comparison character,
//   "*";
// - in $FD[ a "-" after a value only marks the missing right value;
// - in $FF the number after the type letter is the first carrier value,
//   ",+n" or ",-n" sets the other seven.
// A number that does not fit the block field it goes to fails with the code
// the list gives for that field, so it can never wrap into range.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kernel/compiler/compilerblock.h"
#include "kernel/compiler/compilerrecord.h"
#include "kernel/model/programcommandblock.h"

class DirectiveItems {
public:
    // $V_: one racking line (data only; 0 or an error code).
    static int32_t Racking(const std::string& value, ProgramCommandBlock& block);
    // $N_: one needle division line.
    static int32_t NeedleDivision(const std::string& value, ProgramCommandBlock& block);
    // $S_: one scheme sequence line; comparison marks the flag of kind I.
    static int32_t SchemeSequence(const std::string& value, char comparison, ProgramCommandBlock& block);
    // $P_: one block per item, list number left 0; sideSeparator parts the
    // two sides of an item.
    static int32_t CarrierPositions(const std::string& value, char sideSeparator,
                                    std::vector<ProgramCommandBlock>& blocks);
    // $FS_: one block per item, list number left 0; singleCarriage makes the
    // right carriage mode 3.
    static int32_t Densities(const std::string& value, bool singleCarriage, std::vector<ProgramCommandBlock>& blocks);
    // $A_ and $K_ (continuation): one take-down line; on and off are the
    // PRESS switch words.
    static int32_t TakeDown(const std::string& value, bool continuation, const std::string& on,
                            const std::string& off, ProgramCommandBlock& block);
    // $FD[c]: up to four slots (side 1 slot 1, side 1 slot 2, side 2 slot
    // 1, side 2 slot 2); count receives how many were given.
    static int32_t DensitySlots(const std::string& value, std::array<ColourDensitySlot, 4>& slots, int& count);
    // $FF: the carrier block (selector 24, rail and box filled by the
    // caller) and, when exchange >= 0, the carrier it is exchanged for.
    static int32_t Carrier(const std::string& value, ProgramCommandBlock& block, int32_t& exchange);
};
