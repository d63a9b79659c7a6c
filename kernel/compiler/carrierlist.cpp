#include "kernel/compiler/carrierlist.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/moduletext.h"
#include "kernel/compiler/zlinewriter.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/plistaccess.h"

namespace {
constexpr uint8_t kPListCode = 5;
constexpr uint8_t kRead = 0;
constexpr uint8_t kWrite = 1;
constexpr uint8_t kSelector = 5;
constexpr uint8_t kSwingN = 2;
constexpr uint8_t kSwingS = 3;

uint16_t Next(uint16_t v)
{
    return v == std::numeric_limits<uint16_t>::max() ? v : uint16_t(v + 1);
}

int32_t ReadPLine(uint16_t line, ProgramCommandBlock& b)
{
    b.clear();
    b.SetCode(kPListCode);
    b.SetSub(kRead);
    b.SetLine(line);
    b.SetCountField(1);
    b.SetSelector(kSelector);
    return ProgramDispatch(b);
}
}  // namespace

CarrierList::CarrierList()
{
    p_.SetCode(kPListCode);
    p_.SetSub(kWrite);
    p_.SetCountField(1);
    p_.SetSelector(kSelector);
    p_.SetU16(pblock::kOffsetLeft, kPOffsetUnset);
    p_.SetU16(pblock::kOffsetRight, kPOffsetUnset);
}

int32_t CarrierList::Item(const std::string& item, const ZLineWriter& z, t_modulset_info& info)
{
    std::string rest = item.substr(2);
    rest.erase(0, rest.find_first_not_of('0') == std::string::npos ? rest.size() : rest.find_first_not_of('0'));
    const size_t length = rest.size() + 2;  // as "FF" + rest
    if ((mode_ == kNone || mode_ == kDirect) && (length == 3 || length == 4)) {
        const char c = rest[0];
        const int carrier = (c >= '0' && c <= '9') ? c - '0' : 0;
        mode_ = kDirect;
        return z.Carrier(true, carrier);
    }
    if ((mode_ == kNone || mode_ == kPList) && length > 3)
        return PListItem(rest, info);
    return zerr::kZPListWithDirect;
}

int32_t CarrierList::PListItem(std::string rest, t_modulset_info& info)
{
    if (mode_ == kPList) {
        // The pending line belongs to the same sub-list: write it and carry
        // on with a continuation line.
        p_.SetU8(pblock::kForce, 1);
        if (int32_t err = ProgramDispatch(p_))
            return err;
        p_.SetU16(pblock::kListNumber, 0);
    } else {
        first_ = info.NextPLine;
        p_.SetU16(pblock::kListNumber, info.NextPSubList);
    }

    const char rail = rest[0];
    rest.erase(0, 1);
    p_.SetU8(pblock::kRail, static_cast<uint8_t>(rail >= '0' && rail <= '9' ? rail - '0' : 255));
    char box = ' ';
    if (!rest.empty() && rest[0] != '[' && rest[0] != '(') {
        box = rest[0];
        rest.erase(0, 1);
    }
    p_.SetU8(pblock::kBox, static_cast<uint8_t>(box));

    p_.SetU8(pblock::kSwingLeft, 0);
    p_.SetU8(pblock::kSwingRight, 0);
    p_.SetU16(pblock::kOffsetLeft, kPOffsetUnset);
    p_.SetU16(pblock::kOffsetRight, kPOffsetUnset);
    if (!rest.empty() && rest[0] == '(') {
        rest.erase(0, 1);
        size_t digits = 0;
        if (digits < rest.size() && (rest[digits] == '+' || rest[digits] == '-'))
            ++digits;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
            ++digits;
        if (digits >= rest.size())
            return zerr::kUnknownCommand;  // the number runs to the end of the item
        int32_t offset = 0;
        NumberCode(std::string_view(rest).substr(0, digits), offset);
        uint8_t swing;
        switch (rest[digits]) {
        case 'N': swing = kSwingN; break;
        case 'S': swing = kSwingS; break;
        default: return zerr::kUnknownCommand;
        }
        rest.erase(0, std::min(rest.size(), digits + 2));  // number, letter and ")"
        // 0x8000 means "unset" in the list: a number never produces it.
        const bool right = offset > 0;
        if (offset < -32767 || offset > 32767)
            return right ? zerr::kPOffsetRight : zerr::kPOffsetLeft;
        p_.SetI16(right ? pblock::kOffsetRight : pblock::kOffsetLeft, static_cast<int16_t>(offset));
        p_.SetU8(right ? pblock::kSwingRight : pblock::kSwingLeft, swing);
    }

    if (rest.size() < 2 || rest.front() != '[' || rest.back() != ']')
        return zerr::kUnknownCommand;
    p_.SetText(rest.substr(1, rest.size() - 2), pblock::kColours, pblock::kColoursCap);
    p_.SetLine(info.NextPLine);
    info.NextPLine = Next(info.NextPLine);
    p_.SetU8(pblock::kForce, 0);
    mode_ = kPList;
    return 0;
}

int32_t CarrierList::Close(const ZLineWriter& z, t_modulset_info& info)
{
    if (first_ == 0) {
        mode_ = kNone;
        return 0;
    }
    const uint16_t first = first_;
    first_ = 0;
    mode_ = kNone;
    int32_t err = ProgramDispatch(p_);
    if (err)
        return err;

    const uint16_t n = static_cast<uint16_t>(info.NextPLine - first);
    info.NextPSubList = Next(info.NextPSubList);
    uint16_t reference = first;
    std::vector<ProgramCommandBlock> fresh(n);
    for (uint16_t i = 0; i < n && err == 0; ++i)
        err = ReadPLine(uint16_t(first + i), fresh[i]);
    for (uint16_t s = 1; s < first && err == 0; ++s) {
        if (Repeats(s, n, fresh.data(), err)) {
            info.NextPLine = first;
            --info.NextPSubList;
            reference = s;
            break;
        }
    }
    if (err)
        return err;
    ProgramCommandBlock ref;
    if ((err = ReadPLine(reference, ref)))
        return err;
    return z.Carrier(false, ref.U16(pblock::kListNumber));
}

bool CarrierList::Repeats(uint16_t s, uint16_t n, const ProgramCommandBlock* fresh, int32_t& error) const
{
    ProgramCommandBlock b;
    for (uint16_t i = 0; i < n; ++i) {
        if ((error = ReadPLine(uint16_t(s + i), b)) || !SameCarrierLine(b, fresh[i]))
            return false;
    }
    // Matching the first lines of a longer sub-list is no repeat: the Z line
    // would name more carriers than the statement gave.
    if ((error = ReadPLine(uint16_t(s + n), b)))
        return false;
    return b.U16(pblock::kListNumber) != 0;
}

uint8_t CarrierList::SameCarrierLine(const ProgramCommandBlock& a, const ProgramCommandBlock& b)
{
    const bool numbered = (a.U16(pblock::kListNumber) != 0) == (b.U16(pblock::kListNumber) != 0);
    const bool same = a.U8(pblock::kRail) == b.U8(pblock::kRail) && a.U8(pblock::kBox) == b.U8(pblock::kBox) &&
                      a.U8(pblock::kSwingLeft) == b.U8(pblock::kSwingLeft) &&
                      a.U8(pblock::kSwingRight) == b.U8(pblock::kSwingRight) &&
                      a.U16(pblock::kOffsetLeft) == b.U16(pblock::kOffsetLeft) &&
                      a.U16(pblock::kOffsetRight) == b.U16(pblock::kOffsetRight) &&
                      a.Text(pblock::kColours, pblock::kColoursCap) == b.Text(pblock::kColours, pblock::kColoursCap);
    return numbered && same ? 1 : 0;
}
