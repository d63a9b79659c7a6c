#pragma once
// The yarn carriers of a system statement: given directly ("FF1") or as a
// sub-list of the yarn-carrier position (P) list ("FF1A(+5N)[AB]"). A new
// sub-list that repeats an earlier one line by line is not kept as a sub-list
// of its own: its lines count as free again and the Z line refers to the
// earlier one.
#include <cstdint>
#include <string>

#include "kernel/model/programcommandblock.h"

class ZLineWriter;
struct t_modulset_info;

class CarrierList {
public:
    enum Mode : uint8_t { kNone = 0, kDirect = 1, kPList = 2 };

    CarrierList();

    // An "FF" item of a system statement. 0 or an error code (1121 when the
    // two forms are mixed, 404 for a bad P-list item).
    int32_t Item(const std::string& item, const ZLineWriter& z, t_modulset_info& info);
    // Writes the pending P line, shares or keeps the sub-list and sets the
    // Z line's reference to it. Ends the carriers of the statement.
    int32_t Close(const ZLineWriter& z, t_modulset_info& info);
    // After a carriage-direction item or a new system statement.
    void Reset() { mode_ = kNone; }

    Mode mode() const { return mode_; }
    bool pending() const { return first_ != 0; }

    // 1 when two read P lines describe the same carrier position.
    static uint8_t SameCarrierLine(const ProgramCommandBlock& a, const ProgramCommandBlock& b);

private:
    int32_t PListItem(std::string rest, t_modulset_info& info);
    // Lines s .. s + n - 1 equal the new lines, and line s + n opens a
    // sub-list of its own.
    bool Repeats(uint16_t s, uint16_t n, const ProgramCommandBlock* fresh, int32_t& error) const;

    Mode mode_ = kNone;
    uint16_t first_ = 0;  // first P line of the pending sub-list; 0: none
    ProgramCommandBlock p_;
};
