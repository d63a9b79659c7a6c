#include "kernel/listaccess/zlistaccess.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/colourset.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"

using namespace zline;

namespace {

constexpr uint8_t kSubRead = 0;
constexpr uint8_t kSubWrite = 1;
constexpr uint8_t kSubWriteKeep = 2;
constexpr uint8_t kSubInit = 5;
constexpr uint8_t kSubSystems = 6;

constexpr uint16_t kMaxLine = 9999;
constexpr uint16_t kNotGiven = 16383;  // "=" and ">" values that write nothing
constexpr int8_t kStepNotSet = 127;
constexpr uint8_t kSideBit = 0x80;

// Block fields (offsets into the ProgramCommandBlock).
constexpr size_t kB9 = 9;
constexpr size_t kB10 = 10;
constexpr size_t kB12 = 12;
constexpr size_t kB13 = 13;
constexpr size_t kB14 = 14;

struct Ctx {
    ProgramCommandBlock& block;
    uint8_t* line;
    int system;  // 1..6 for the system selectors
    int side;    // 0, 1
    size_t sys() const { return System(system); }
    size_t sd() const { return Side(system, side); }
};

void NotSet(Ctx& c)
{
    c.block.SetSelector(0);
}

// --- "=" take-down --------------------------------------------------------
void ReadTakeDown(Ctx& c)
{
    c.block.SetU8(kB9, c.line[kTakeDownMode]);
    c.block.SetU16(kB10, get_u16(c.line, kTakeDownValue));
}

uint16_t WriteTakeDown(Ctx& c)
{
    const uint8_t mode = c.block.U8(kB9);
    const uint16_t value = c.block.U16(kB10);
    if (value == kNotGiven)
        return 0;
    uint16_t err;
    switch (mode) {
    case 0: err = CheckRange(value, 1, 9999, zerr::kZTakeDownValue); break;
    case 1: err = 0; break;
    case 2: err = CheckRange(value, 0, 100, zerr::kZTakeDownValue); break;
    case 3: err = CheckRange(value, 1, 9999, zerr::kZTakeDownValue); break;
    default: return zerr::kZTakeDownMode;
    }
    if (err)
        return err;
    c.line[kTakeDownMode] = mode;
    put_u16(c.line, kTakeDownValue, mode == 1 ? 0 : value);
    return 0;
}

// --- ">" speed ------------------------------------------------------------
void ReadSpeed(Ctx& c)
{
    const uint8_t mode = c.line[kSpeedMode];
    const uint16_t value = get_u16(c.line, kSpeedValue);
    c.block.SetU8(kB9, mode);
    c.block.SetU16(kB10, (mode == 0 && value == 0) ? kNotGiven : value);
}

uint16_t WriteSpeed(Ctx& c)
{
    const uint8_t mode = c.block.U8(kB9);
    const uint16_t value = c.block.U16(kB10);
    if (mode == 0 && (value == 0 || value == kNotGiven))
        return 0;
    // Stored before the check: the machine program file masks what fails.
    c.line[kSpeedMode] = mode;
    put_u16(c.line, kSpeedValue, value);
    switch (mode) {
    case 0: return CheckRange(value, 1, 9999, zerr::kZSpeedValue);
    case 1: return CheckRange(value, 0, 100, zerr::kZSpeedValue);
    case 2: return CheckRange(value, 0, 255, zerr::kZSpeedValue);
    default: return zerr::kZSpeedMode;
    }
}

// --- 63, 64, 65 and the flag selectors "H", "L" ----------------------------
void ReadFlag(Ctx& c, size_t off)
{
    if (c.line[off] == 0)
        NotSet(c);
}

// --- "B" racking ------------------------------------------------------------
size_t RackingEntry(const Ctx& c)
{
    return c.block.U8(kB9) != 0 ? kRacking1 : kRacking2;
}

void ReadRacking(Ctx& c)
{
    const size_t e = RackingEntry(c);
    const uint16_t ref = get_u16(c.line, e);
    const auto step = static_cast<int8_t>(c.line[e + kRackingStep]);
    if (ref != 0) {
        c.block.SetU16(kB10, ref);
        c.block.SetU8(kB12, 0);
        c.block.SetU8(kB13, 0);
    } else if (step == kStepNotSet) {
        NotSet(c);
    } else {
        c.block.SetU16(kB10, 0);
        c.block.SetU8(kB12, static_cast<uint8_t>(step));
        c.block.SetU8(kB13, c.line[e + kRackingCode]);
    }
}

uint16_t WriteRacking(Ctx& c)
{
    const size_t e = RackingEntry(c);
    const uint16_t ref = c.block.U16(kB10);
    uint8_t step = 0;
    uint8_t code = 0;
    uint16_t err;
    if (ref != 0) {
        err = CheckRange(ref, 1, 9999, zerr::kZRackingReference);
    } else {
        step = c.block.U8(kB12);
        code = c.block.U8(kB13);
        err = CheckRange(std::abs(static_cast<int8_t>(step)), 0, 28, zerr::kZRackingStep);
        if (!err)
            err = CheckRange(code, 0, 3, zerr::kZTransferRacking);
    }
    // The whole entry is stored, a failing one too.
    put_u16(c.line, e, ref);
    c.line[e + kRackingStep] = step;
    c.line[e + kRackingCode] = code;
    return err;
}

// --- "C" clamps ---------------------------------------------------------------
void ReadClamps(Ctx& c)
{
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t v = c.line[kClamps + i];
        c.block.SetU8(kB9 + i, v == 1 ? 'O' : v == 2 ? 'C' : '.');
    }
    c.block.SetU16(kB14, c.line[kClampValue]);
}

uint16_t WriteClamps(Ctx& c)
{
    bool allValid = true;
    bool allNone = true;
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t ch = c.block.U8(kB9 + i);
        int cmd;
        switch (ch) {
        case '.': cmd = 0; break;
        case 'O': cmd = 1; break;
        case 'C': cmd = 2; break;
        default: cmd = -1; break;
        }
        if (cmd < 0) {
            allValid = false;
            continue;
        }
        c.line[kClamps + i] = static_cast<uint8_t>(cmd);
        if (cmd != 0)
            allNone = false;
    }
    if (!allValid)
        return zerr::kZClamp;
    if (allNone)
        return 0;
    const uint16_t value = c.block.U16(kB14);
    if (const uint16_t err = CheckRange(value, 0, 255, zerr::kZClamp))
        return err;
    // 0 and 100..255 pass but keep the clamp value we have.
    if (value >= 1 && value <= 99)
        c.line[kClampValue] = static_cast<uint8_t>(value);
    return 0;
}

// --- "D" scissors -------------------------------------------------------------
void ReadScissors(Ctx& c)
{
    const uint8_t bits = c.line[kScissorsBits];
    c.block.SetU8(kB9, TestBit(bits, 0) ? 1 : 0);
    c.block.SetU8(kB10, TestBit(bits, 1) ? 1 : 0);
    c.block.SetU16(kB12, c.line[kScissorsValue]);
}

uint16_t WriteScissors(Ctx& c)
{
    const uint16_t value = c.block.U16(kB12);
    if (const uint16_t err = CheckRange(value, 0, 255, zerr::kZScissors))
        return err;
    const uint8_t b1 = c.block.U8(kB9);
    const uint8_t b2 = c.block.U8(kB10);
    if (b1 == 0 && b2 == 0 && value == 0)
        return 0;
    uint8_t bits = c.line[kScissorsBits];
    if (b1)
        SetBit(bits, 0);
    if (b2)
        SetBit(bits, 1);
    c.line[kScissorsBits] = bits;
    c.line[kScissorsValue] = static_cast<uint8_t>(value);
    return 0;
}

// --- "E" comb ----------------------------------------------------------------
constexpr char kCombChars[] = " *12";

void ReadComb(Ctx& c)
{
    const uint8_t v = c.line[kComb];
    c.block.SetU8(kB9, static_cast<uint8_t>(v < 4 ? kCombChars[v] : ' '));
}

uint16_t WriteComb(Ctx& c)
{
    const uint8_t ch = c.block.U8(kB9);
    for (uint8_t i = 0; i < 4; ++i)
        if (ch == static_cast<uint8_t>(kCombChars[i])) {
            c.line[kComb] = i;
            return 0;
        }
    return zerr::kZComb;
}

// --- "G" yarn carriers of a system -------------------------------------------
void ReadCarriers(Ctx& c)
{
    const uint16_t ref = get_u16(c.line, c.sys() + kPListRef);
    if (ref == 0) {
        c.block.SetU8(kB9, 1);
        if (!TestBit(c.line[c.sys() + kCarriers], c.block.U16(kB10) - 1))
            NotSet(c);
    } else {
        c.block.SetU16(kB10, ref);
        c.block.SetU8(kB9, 0);
    }
}

uint16_t WriteCarriers(Ctx& c)
{
    const uint16_t value = c.block.U16(kB10);
    switch (c.block.U8(kB9)) {
    case 0:
        if (const uint16_t err = CheckRange(value, 1, 9999, zerr::kZBadPList))
            return err;
        put_u16(c.line, c.sys() + kPListRef, value);
        c.line[c.sys() + kCarriers] = 0;
        return 0;
    case 1:
        if (const uint16_t err = CheckRange(value, 1, 8, zerr::kZCarrier))
            return err;
        put_u16(c.line, c.sys() + kPListRef, 0);
        SetBit(c.line[c.sys() + kCarriers], value - 1);
        return 0;
    default:
        return zerr::kZTakeDownValue;
    }
}

// --- "I" cam setting ---------------------------------------------------------
constexpr uint8_t kCamCodes[] = {0, 1, 2, 4, 8};

void ReadCam(Ctx& c)
{
    const uint8_t v = c.line[c.sd() + kCam];
    c.block.SetU8(kB9, v < 5 ? kCamCodes[v] : 0);
}

uint16_t WriteCam(Ctx& c)
{
    uint8_t& cam = c.line[c.sd() + kCam];
    cam = 0;
    const uint8_t code = c.block.U8(kB9);
    for (uint8_t i = 0; i < 5; ++i)
        if (code == kCamCodes[i]) {
            cam = i;
            return 0;
        }
    return zerr::kZCamSetting;
}

// --- "J" pattern line ----------------------------------------------------------
void ReadPatternLine(Ctx& c)
{
    c.block.SetU8(kB9, c.line[c.sd() + kPatternMode]);
    c.block.SetI16(kB10, get_i16(c.line, c.sd() + kPatternValue));
}

uint16_t WritePatternLine(Ctx& c)
{
    const uint8_t mode = c.block.U8(kB9);
    const int16_t value = c.block.I16(kB10);
    c.line[c.sd() + kPatternMode] = mode;  // stored before the check
    uint16_t err;
    switch (mode) {
    case 0: err = CheckRange(value, 0, 9999, zerr::kZPatternLineValue); break;
    case 1: err = CheckRange(value, -9999, 9999, zerr::kZPatternLineValue); break;
    case 2: err = CheckRange(value, 0, 9999, zerr::kZPatternLineValue); break;
    case 3: err = CheckRange(value, 1, 9999, zerr::kZPatternLineValue); break;
    default: return zerr::kZPatternLineMode;
    }
    if (!err)
        put_i16(c.line, c.sd() + kPatternValue, value);
    return err;
}

// --- "K" stitch densities -------------------------------------------------------
void DensityFields(const Ctx& c, size_t& mode, size_t& value)
{
    const bool first = c.block.U8(kB9) != 0;
    mode = c.sd() + (first ? kDensity1Mode : kDensity2Mode);
    value = c.sd() + (first ? kDensity1Value : kDensity2Value);
}

void ReadDensity(Ctx& c)
{
    size_t mode, value;
    DensityFields(c, mode, value);
    c.block.SetU8(kB10, c.line[mode]);
    c.block.SetU16(kB12, get_u16(c.line, value));
}

uint16_t WriteDensity(Ctx& c)
{
    size_t modeOff, valueOff;
    DensityFields(c, modeOff, valueOff);
    const uint8_t mode = c.block.U8(kB10);
    const uint16_t value = c.block.U16(kB12);
    // Stored before the check: the machine program file masks what fails.
    c.line[modeOff] = mode;
    put_u16(c.line, valueOff, value);
    switch (mode) {
    case 0: return 0;
    case 1:
    case 2: return CheckRange(value, 1, 9999, zerr::kZDensityValue);
    case 3: return CheckRange(value, 0, 240, zerr::kZDensityValue);
    default: return zerr::kZDensityMode;
    }
}

// --- "N" needle selection --------------------------------------------------------
constexpr uint8_t kSelFixedFirst = 1;
constexpr uint8_t kSelFixedLast = 6;
constexpr uint8_t kSelNetFirst = 11;
constexpr uint8_t kSelNetLast = 28;
constexpr uint8_t kNetMarker = 6;
constexpr size_t kSelTextCap = 32;

size_t SelectionSet(const Ctx& c, size_t e)
{
    return c.sd() + kSelection + kSelectionStep * e;
}
size_t SelectionMode(const Ctx& c, size_t e)
{
    return SelectionSet(c, e) + 4;
}

void ReadSelection(Ctx& c)
{
    const size_t e = c.block.U8(kB9);
    if (e >= kSelectionEntries) {
        NotSet(c);  // there are three entries only
        return;
    }
    const uint8_t mode = c.line[SelectionMode(c, e)];
    std::string text;
    if (mode >= kSelFixedFirst && mode <= kSelFixedLast) {
        text = {'!', static_cast<char>(mode - 1)};
    } else if (mode >= kSelNetFirst && mode <= kSelNetLast) {
        const int n = mode - kSelNetFirst;
        text = {'!', static_cast<char>(kNetMarker), static_cast<char>('A' + n / 3),
                static_cast<char>('1' + n % 3)};
    } else {
        text = ColourSetToText(get_u32(c.line, SelectionSet(c, e)));
    }
    c.block.SetText(text, kB10, kSelTextCap);
}

uint16_t WriteSelection(Ctx& c)
{
    const size_t e = c.block.U8(kB9);
    if (e >= kSelectionEntries)
        return 0;
    // The text as block.Text reads it, looked at in place.
    const uint8_t* field = c.block.data() + kB10;
    const std::string_view text(reinterpret_cast<const char*>(field + 1), field[0]);
    const size_t setOff = SelectionSet(c, e);
    const size_t modeOff = SelectionMode(c, e);
    if (!text.empty() && text[0] == '?') {
        put_u32(c.line, setOff, 0);
        c.line[modeOff] = 0;
        return 0;
    }
    if (text.empty() || text[0] != '!') {
        put_u32(c.line, setOff, get_u32(c.line, setOff) | TextToColourSet(text));
        c.line[modeOff] = 0;
        return 0;
    }
    if (text.size() < 2)
        return zerr::kZSelectionMode;  // "!" without its selection
    const auto k = static_cast<uint8_t>(text[1]);
    if (k <= 5) {
        put_u32(c.line, setOff, 0);
        c.line[modeOff] = static_cast<uint8_t>(k + 1);
        return 0;
    }
    if (k != kNetMarker)
        return zerr::kZSelectionMode;
    if (text.size() < 4 || text[2] < 'A' || text[2] > 'F' || text[3] < '1' || text[3] > '3')
        return zerr::kZNetType;
    put_u32(c.line, setOff, 0);
    c.line[modeOff] = static_cast<uint8_t>((text[2] - 'A') * 3 + 10 + (text[3] - '0'));
    return 0;
}

// --- "O" ------------------------------------------------------------------------
void ReadFlagO(Ctx& c)
{
    if (c.line[c.sys() + kFlagO] == 0)
        return;
    if (c.block.Line() % 2)
        c.block.SetU8(kB10, 1);
    else
        c.block.SetU8(kB9, 1);
}

uint16_t WriteFlagO(Ctx& c)
{
    if (c.block.U8(kB9) || c.block.U8(kB10))
        c.line[c.sys() + kFlagO] = 1;
    return 0;
}

uint16_t Read(Ctx& c)
{
    switch (c.block.Selector()) {
    case '=': ReadTakeDown(c); break;
    case '>': ReadSpeed(c); break;
    case 63:
    case 64:
    case 65: ReadFlag(c, kFlag63 + (c.block.Selector() - 63)); break;
    case 'B': ReadRacking(c); break;
    case 'C': ReadClamps(c); break;
    case 'D': ReadScissors(c); break;
    case 'E': ReadComb(c); break;
    case 'G': ReadCarriers(c); break;
    case 'H': ReadFlag(c, c.sys() + kFlagH); break;
    case 'I': ReadCam(c); break;
    case 'J': ReadPatternLine(c); break;
    case 'K': ReadDensity(c); break;
    case 'L': ReadFlag(c, c.sd() + kFlagL); break;
    case 'N': ReadSelection(c); break;
    case 'O': ReadFlagO(c); break;
    default: break;
    }
    return 0;
}

uint16_t Write(Ctx& c)
{
    switch (c.block.Selector()) {
    case '=': return WriteTakeDown(c);
    case '>': return WriteSpeed(c);
    case 63:
    case 64:
    case 65: c.line[kFlag63 + (c.block.Selector() - 63)] = 1; return 0;
    case 'B': return WriteRacking(c);
    case 'C': return WriteClamps(c);
    case 'D': return WriteScissors(c);
    case 'E': return WriteComb(c);
    case 'G': return WriteCarriers(c);
    case 'H': c.line[c.sys() + kFlagH] = 1; return 0;
    case 'I': return WriteCam(c);
    case 'J': return WritePatternLine(c);
    case 'K': return WriteDensity(c);
    case 'L': c.line[c.sd() + kFlagL] = 1; return 0;
    case 'N': return WriteSelection(c);
    case 'O': return WriteFlagO(c);
    default: return 0;
    }
}

bool AddressesSystem(uint8_t selector)
{
    return selector >= 'G' && selector <= 'O';
}

uint16_t SetSystems(const ProgramCommandBlock& block)
{
    const uint16_t n = block.Line();
    if (const uint16_t err = CheckRange(n, 1, kMaxLine, zerr::kBadListNumber))
        return err;
    if (n > 255 || !ZrVar.SystemCounts.test(n))
        return zerr::kBadSystemCount;
    ZrVar.Systems = static_cast<uint8_t>(n);
    return 0;
}

}  // namespace

uint16_t accessZList(ProgramCommandBlock& block, uint8_t sub)
{
    if (sub == kSubSystems)
        return SetSystems(block);
    const uint16_t lineNo = block.Line();
    if (const uint16_t err = CheckRange(lineNo, 1, kMaxLine, zerr::kBadListNumber))
        return err;
    if (sub == kSubInit) {
        ZListe->InitLine(lineNo);
        return 0;
    }
    if (sub != kSubRead && sub != kSubWrite && sub != kSubWriteKeep)
        return 0;

    const uint8_t selector = block.Selector();
    const uint8_t sysByte = block.SystemByte();
    const int system = sysByte & ~kSideBit;
    if (ZrVar.SystemSelectorSet.test(selector)) {
        // A header from a damaged file can claim more systems than a line
        // holds: never address past the sixth.
        const int limit = std::min<int>(ZrVar.Systems, kMaxSystems);
        if (system < 1 || system > limit)
            return zerr::kBadSystemNumber;
    } else if (AddressesSystem(selector) && (system < 1 || system > kMaxSystems)) {
        // Left out of the set, a system field still needs a system block.
        return zerr::kBadSystemNumber;
    }

    // System and side are taken from the block again once the line is
    // there: nothing then has to be kept across a growth of the list.
    uint8_t* const line = ZListe->GetLine(lineNo);
    const uint8_t sysByteNow = block.SystemByte();
    Ctx c{block, line, sysByteNow & ~kSideBit, (sysByteNow & kSideBit) ? 1 : 0};
    return sub == kSubRead ? Read(c) : Write(c);
}
