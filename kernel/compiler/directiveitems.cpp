#include "kernel/compiler/directiveitems.h"

#include "kernel/compiler/statementreader.h"
#include "kernel/dispatch/errorcodes.h"

namespace {
constexpr uint16_t kUnsetOffset = 32768;
constexpr size_t kColourLetters = 32;

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// Cuts the next item off rest.
std::string NextItem(std::string& rest)
{
    std::string item;
    SplitAtComma(rest, 255, item);
    return item;
}

// The number after a prefix of the item; false when it is not one.
bool NumberAfter(const std::string& item, size_t prefix, int32_t& value)
{
    // An empty item has no prefix to skip.
    if (prefix > item.size())
        return false;
    return ParseNumber(item.substr(prefix), value);
}

// "[letters]" at the front of s: the letters, removed with their brackets.
bool TakeBracketText(std::string& s, size_t max, std::string& text)
{
    if (s.empty() || s[0] != '[')
        return false;
    size_t close = s.find(']');
    if (close == std::string::npos || close - 1 > max)
        return false;
    text = s.substr(1, close - 1);
    s.erase(0, close + 1);
    return true;
}

char Front(const std::string& s)
{
    return s.empty() ? '\0' : s[0];
}

// The end of a carrier or density item: optional "[colours]" into the block,
// then nothing more; the first field error the item left, if any.
int32_t ColoursAndEnd(std::string& item, ProgramCommandBlock& b, const BlockFields& f)
{
    std::string colours;
    if (Front(item) == '[' && !TakeBracketText(item, kColourLetters, colours))
        return zerr::kUnknownCommand;
    b.SetText(colours, 21, kColourLetters);
    if (!item.empty())
        return zerr::kUnknownCommand;
    return f.error();
}
}  // namespace

// ---------------------------------------------------------------------------
// Racking: "L"/"R" with the amount, transfer racking codes, "JV", course
// "V", corrections, stretch and speed.

int32_t DirectiveItems::Racking(const std::string& value, ProgramCommandBlock& b)
{
    BlockFields f(b);
    b.SetU8(12, 1);  // course 0
    b.SetU8(16, 100);
    int64_t racking = 0;
    std::string rest = value;
    while (!rest.empty() && f.error() == 0) {
        std::string item = NextItem(rest);
        int32_t n = 0;
        if (item == "L")
            racking = -racking;
        else if (item == "G")
            b.SetU8(10, 0);
        else if (item == "U1")
            b.SetU8(10, 1);
        else if (item == "U2")
            b.SetU8(10, 2);
        else if (item == "UH")
            b.SetU8(10, 3);
        else if (item == "JV")
            b.SetU8(11, 1);
        else if (StartsWith(item, "CORR_L") && NumberAfter(item, 6, n))
            f.I8(13, n, 1403);
        else if (StartsWith(item, "CORR_R") && NumberAfter(item, 6, n))
            f.I8(14, n, 1403);
        else if (StartsWith(item, "DEHN") && NumberAfter(item, 4, n))
            f.U8(15, n, 1404);
        else if (StartsWith(item, "SPEED") && NumberAfter(item, 5, n))
            f.U8(16, n, 1405);
        else if (Front(item) == 'V' && NumberAfter(item, 1, n))
            f.U8(12, n, 1406);
        else if (Front(item) == 'L' && NumberAfter(item, 1, n))
            racking = -int64_t(n);
        else if (Front(item) == 'R' && NumberAfter(item, 1, n))
            racking = n;
        else
            f.Fail(zerr::kUnknownCommand);
    }
    f.I8(9, racking, 1401);
    return f.error();
}

// ---------------------------------------------------------------------------
// Needle division: kind letter and start, offset, repetition letter and
// count.

int32_t DirectiveItems::NeedleDivision(const std::string& value, ProgramCommandBlock& b)
{
    BlockFields f(b);
    std::string rest = value;
    int32_t n = 0;
    std::string item = NextItem(rest);
    char kind = Front(item);
    b.SetU8(9, kind == 'N' ? 1 : kind == 'X' ? 0 : 99);
    if (!NumberAfter(item, 1, n))
        return zerr::kUnknownCommand;
    f.U16(10, n, 1602);
    if (rest.empty())
        return f.error();
    item = NextItem(rest);
    if (!ParseNumber(item, n))
        return zerr::kUnknownCommand;
    f.I16(12, n, 1603);
    if (rest.empty())
        return f.error();
    item = NextItem(rest);
    static const std::string kRepetitions = "WDLRC";
    size_t repetition = item.empty() ? std::string::npos : kRepetitions.find(item[0]);
    b.SetU8(14, repetition == std::string::npos ? 99 : static_cast<uint8_t>(repetition));
    if (!NumberAfter(item, 1, n))
        return zerr::kUnknownCommand;
    f.U16(16, n, 1605);
    return f.error();
}

// ---------------------------------------------------------------------------
// Scheme sequence: kind letter and start address, offset, choice letter and
// repetitions; needle division (not for kind S); Y values (not for kind I),
// or for kind I a bracketed text.

int32_t DirectiveItems::SchemeSequence(const std::string& value, char comparison, ProgramCommandBlock& b)
{
    BlockFields f(b);
    std::string rest = value;
    int32_t n = 0;
    auto numberItem = [&](size_t off, bool isSigned, int32_t code) {
        if (rest.empty() || f.error() != 0)
            return;
        std::string item = NextItem(rest);
        if (!ParseNumber(item, n))
            return f.Fail(zerr::kUnknownCommand);
        if (isSigned)
            f.I16(off, n, code);
        else
            f.U16(off, n, code);
    };
    auto letterItem = [&](size_t letterOff, char one, char zero, size_t off, int32_t code) {
        if (rest.empty() || f.error() != 0)
            return;
        std::string item = NextItem(rest);
        char c = Front(item);
        b.SetU8(letterOff, c == one ? 1 : c == zero ? 0 : 99);
        if (!NumberAfter(item, 1, n))
            return f.Fail(zerr::kUnknownCommand);
        f.U16(off, n, code);
    };

    std::string item = NextItem(rest);
    char kindLetter = Front(item);
    uint8_t kind = kindLetter == 'Z' ? 0 : kindLetter == 'S' ? 1 : kindLetter == 'I' ? 2 : 99;
    b.SetU8(9, kind);
    if (!NumberAfter(item, 1, n))
        return zerr::kUnknownCommand;
    f.U16(10, n, 1902);
    numberItem(12, true, 1903);
    letterItem(14, 'W', 'D', 16, 1905);
    if (kind != 1) {
        letterItem(18, 'W', 'N', 20, 1907);
        if (!rest.empty() && f.error() == 0) {
            item = NextItem(rest);
            size_t skip = 0;
            if (Front(item) == 'W') {
                b.SetU8(22, 1);
                skip = 1;
            }
            if (!NumberAfter(item, skip, n))
                return zerr::kUnknownCommand;
            f.I16(24, n, 1909);
        }
    }
    if (kind != 2) {
        numberItem(26, false, 1910);
        numberItem(28, true, 1911);
        numberItem(30, false, 1912);
        numberItem(32, true, 1913);
    } else if (!rest.empty() && f.error() == 0) {
        // The list takes kinds Z and S only: the text and its flag are read
        // for the report's sake and travel behind the list's fields.
        item = NextItem(rest);
        uint8_t flag = 0;
        if (Front(item) == comparison) {
            flag = 1;
            item.erase(0, 1);
        }
        std::string text;
        if (!TakeBracketText(item, kColourLetters, text) || !item.empty())
            return zerr::kUnknownCommand;
        b.SetText(text, 34, kColourLetters);
        b.SetU8(67, flag);
    }
    return f.error();
}

// ---------------------------------------------------------------------------
// Carrier positions: "FF" rail box (left/right) [colours] per item.

namespace {
struct Side {
    bool offsetGiven = false;
    int32_t offset = 0;
    uint8_t swing = 0;
};

// An optional signed offset, then an optional swing letter.
void TakeSide(std::string& s, Side& side)
{
    if (Front(s) == '+' || Front(s) == '-')
        side.offsetGiven = TakeNumber(s, side.offset);
    if (Front(s) == 'N' || Front(s) == 'S') {
        side.swing = Front(s) == 'N' ? 2 : 3;
        s.erase(0, 1);
    }
}

int32_t CarrierPosition(std::string item, char separator, ProgramCommandBlock& b)
{
    BlockFields f(b);
    b.SetU16(16, kUnsetOffset);
    b.SetU16(18, kUnsetOffset);
    b.SetU8(13, ' ');
    item.erase(0, std::min<size_t>(2, item.size()));
    int32_t rail = 0;
    TakeNumber(item, rail);
    f.U8(12, rail, 1501);
    char box = Front(item);
    if (box >= 'A' && box <= 'Z') {
        b.SetU8(13, static_cast<uint8_t>(box));
        item.erase(0, 1);
    }
    if (Front(item) == '(') {
        item.erase(0, 1);
        Side left, right;
        TakeSide(item, left);
        if (Front(item) == separator) {
            item.erase(0, 1);
            TakeSide(item, right);
        } else if (left.offsetGiven && left.offset > 0) {
            // A single positive offset belongs to the right side.
            right = left;
            left = Side{};
        }
        if (Front(item) != ')')
            return zerr::kUnknownCommand;
        item.erase(0, 1);
        b.SetU8(14, left.swing);
        b.SetU8(15, right.swing);
        if (left.offsetGiven)
            f.I16(16, left.offset, 1504);
        if (right.offsetGiven)
            f.I16(18, right.offset, 1505);
    }
    return ColoursAndEnd(item, b, f);
}
}  // namespace

int32_t DirectiveItems::CarrierPositions(const std::string& value, char separator,
                                         std::vector<ProgramCommandBlock>& blocks)
{
    std::string rest = value;
    while (!rest.empty()) {
        ProgramCommandBlock b;
        if (int32_t e = CarrierPosition(NextItem(rest), separator, b))
            return e;
        blocks.push_back(b);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Stitch densities: left mode letter and value, optional right mode letter
// and value, optional [colours] per item.

namespace {
bool DensityLetter(char c, uint8_t& mode)
{
    if (c != 'D' && c != 'W')
        return false;
    mode = c == 'D' ? 0 : 2;
    return true;
}

int32_t Density(std::string item, bool singleCarriage, ProgramCommandBlock& b)
{
    BlockFields f(b);
    uint8_t mode = 99;
    DensityLetter(Front(item), mode);
    item.erase(0, std::min<size_t>(1, item.size()));
    int32_t value = 0;
    if (!TakeNumber(item, value))
        return zerr::kUnknownCommand;
    b.SetU8(12, mode);
    f.U16(14, value, 1202);
    uint8_t rightMode = mode;
    int32_t rightValue = value;
    if (DensityLetter(Front(item), rightMode)) {
        item.erase(0, 1);
        if (!TakeNumber(item, rightValue))
            return zerr::kUnknownCommand;
    }
    // One carriage: its right side means nothing to the machine.
    b.SetU8(16, singleCarriage ? 3 : rightMode);
    f.U16(18, rightValue, 1204);
    return ColoursAndEnd(item, b, f);
}
}  // namespace

int32_t DirectiveItems::Densities(const std::string& value, bool singleCarriage,
                                  std::vector<ProgramCommandBlock>& blocks)
{
    std::string rest = value;
    while (!rest.empty()) {
        ProgramCommandBlock b;
        if (int32_t e = Density(NextItem(rest), singleCarriage, b))
            return e;
        // The line continues its sub-list on the next line.
        b.SetU8(20, rest.empty() ? 0 : 1);
        blocks.push_back(b);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Take-down: a bare lower take-down value and named items.

int32_t DirectiveItems::TakeDown(const std::string& value, bool continuation, const std::string& on,
                                 const std::string& off, ProgramCommandBlock& b)
{
    constexpr uint8_t kUnset = 101;
    BlockFields f(b);
    for (size_t off : {12, 14, 15, 16, 17})
        b.SetU8(off, kUnset);
    b.SetU16(18, 10000);
    b.SetU16(20, 10000);
    auto pressure = [&](const std::string& item, size_t prefix, size_t offset, int32_t code) {
        std::string word = item.substr(prefix);
        int32_t n = 0;
        if (word == on)
            b.SetU8(offset, 103);
        else if (word == off)
            b.SetU8(offset, 102);
        else if (ParseNumber(word, n))
            f.U8(offset, n, code);
        else
            f.Fail(zerr::kUnknownCommand);
    };
    auto needles = [&](const std::string& item, size_t offset) {
        int32_t n = 0;
        if (!NumberAfter(item, 10, n))
            return f.Fail(zerr::kUnknownCommand);
        f.U16(offset, n == 0 ? 10000 : n, 1306);
    };
    auto number = [&](const std::string& item, size_t prefix, size_t offset, int32_t code) {
        int32_t n = 0;
        if (!NumberAfter(item, prefix, n))
            return f.Fail(zerr::kUnknownCommand);
        f.U8(offset, n, code);
    };

    std::string rest = value;
    while (!rest.empty() && f.error() == 0) {
        std::string item = NextItem(rest);
        int32_t n = 0;
        if (StartsWith(item, "HELP_PRESS"))
            pressure(item, 10, 16, 1305);
        else if (StartsWith(item, "HELP"))
            number(item, 4, 14, 1304);
        else if (StartsWith(item, "PRESS"))
            pressure(item, 5, 15, 1303);
        else if (StartsWith(item, "PULSE")) {
            if (!NumberAfter(item, 5, n))
                f.Fail(zerr::kUnknownCommand);
            f.I8(17, n, 1302);
        } else if (item == "*")
            b.SetU8(17, 127);
        else if (StartsWith(item, "MIN_NEEDLE"))
            needles(item, 18);
        else if (StartsWith(item, "MAX_NEEDLE"))
            needles(item, 20);
        else if (StartsWith(item, "MIN_PULSE"))
            number(item, 9, 24, 1308);
        else if (StartsWith(item, "MAX_PULSE"))
            number(item, 9, 25, 1308);
        else if (StartsWith(item, "MIN"))
            number(item, 3, 22, 1307);
        else if (StartsWith(item, "MAX"))
            number(item, 3, 23, 1307);
        else if (ParseNumber(item, n))
            f.U8(12, n, 1301);
        else
            f.Fail(zerr::kUnknownCommand);
    }
    if (continuation) {
        // A continuation line never carries the upper take-down.
        b.SetU8(14, kUnset);
        b.SetU8(15, kUnset);
        b.SetU8(16, kUnset);
    }
    return f.error();
}

// ---------------------------------------------------------------------------
// Colour-specific densities: up to four slots, each a left value, an
// optional right value and an optional comment ("text" or {text}).

namespace {
bool TakeDensityValue(const std::string& s, size_t& i, uint8_t& flag, uint16_t& value)
{
    if (i >= s.size() || (s[i] != 'W' && s[i] != 'D'))
        return false;
    flag = s[i] == 'W' ? 1 : 0;
    ++i;
    size_t start = i;
    int64_t n = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < 6)
        n = n * 10 + (s[i++] - '0');
    if (i == start)
        return false;
    int64_t high = flag ? 9999 : 999;
    if (n < 1 || n > high)
        return false;
    value = static_cast<uint16_t>(n);
    return true;
}
}  // namespace

int32_t DirectiveItems::DensitySlots(const std::string& value, std::array<ColourDensitySlot, 4>& slots, int& count)
{
    count = 0;
    if (value.empty())
        return zerr::kUnknownCommand;
    size_t i = 0;
    while (i < value.size()) {
        if (count == 4)
            return zerr::kUnknownCommand;
        ColourDensitySlot slot;
        slot.filled = true;
        if (!TakeDensityValue(value, i, slot.leftFlag, slot.leftValue))
            return zerr::kUnknownCommand;
        char next = i < value.size() ? value[i] : '\0';
        if (next == 'W' || next == 'D') {
            if (!TakeDensityValue(value, i, slot.rightFlag, slot.rightValue))
                return zerr::kUnknownCommand;
        } else if (next == '"' || next == ',' || next == '-' || next == '{' || next == '\0') {
            slot.rightFlag = slot.leftFlag;
            slot.rightValue = slot.leftValue;
        } else {
            return zerr::kUnknownCommand;
        }
        // A "-" only marks the missing right value.
        if (i < value.size() && value[i] == '-')
            ++i;
        if (i < value.size() && (value[i] == '"' || value[i] == '{')) {
            char close = value[i] == '"' ? '"' : '}';
            size_t end = value.find(close, i + 1);
            if (end == std::string::npos || end - i - 1 > 80)
                return zerr::kUnknownCommand;
            slot.comment = value.substr(i + 1, end - i - 1);
            i = end + 1;
        }
        if (i < value.size()) {
            if (value[i] != ',')
                return zerr::kUnknownCommand;
            ++i;
        }
        slots[size_t(count++)] = slot;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Yarn carrier: type letter, an optional first value, ",+n"/",-n" for the
// other seven values, and ",k" for the carrier it is exchanged for.

int32_t DirectiveItems::Carrier(const std::string& value, ProgramCommandBlock& b, int32_t& exchange)
{
    BlockFields f(b);
    exchange = -1;
    for (size_t k = 0; k < 8; ++k)
        b.SetU16(14 + 2 * k, kUnsetOffset);
    std::string rest = value.empty() ? std::string(" ") : value;
    b.SetU8(11, static_cast<uint8_t>(rest[0]));
    rest.erase(0, 1);
    int32_t n = 0;
    if (TakeNumber(rest, n))
        f.I16(14, n, 2006);
    if (StartsWith(rest, ",+") || StartsWith(rest, ",-")) {
        rest.erase(0, 1);
        TakeNumber(rest, n);
        for (size_t k = 1; k < 8; ++k)
            f.I16(14 + 2 * k, n, 2006);
    }
    if (Front(rest) == ',') {
        rest.erase(0, 1);
        if (!ParseNumber(rest, n))
            return f.error() != 0 ? f.error() : 2005;
        if (n < 0 || n > 255)
            f.Fail(2004);
        exchange = n;
        rest.clear();
    }
    if (!rest.empty())
        f.Fail(zerr::kUnknownCommand);
    return f.error();
}
