#include "kernel/compiler/systemstatement.h"

#include <algorithm>
#include <limits>

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/compilerstatus.h"
#include "kernel/compiler/moduleexpansion.h"
#include "kernel/compiler/modulestate.h"
#include "kernel/compiler/moduletext.h"
#include "kernel/compiler/needleselection.h"
#include "kernel/compiler/statementreader.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr char kSentinel = '\x02';
constexpr size_t kSelectionText = 32;

bool Has(std::string_view s, const char* what)
{
    return s.find(what) != std::string_view::npos;
}

// The prefix letters before the bracket: "%" is written for "F" and "$"
// for "T" there (inside the bracket both are colours and stay).
void NormalisePrefix(std::string& s)
{
    const size_t bracket = std::min<size_t>(s.find('['), 2);
    for (size_t i = 0; i < bracket && i < s.size(); ++i) {
        if (s[i] == '%')
            s[i] = 'F';
        else if (s[i] == '$')
            s[i] = 'T';
    }
}
}  // namespace

int32_t SystemStatement::Run(uint8_t n, const std::string& value)
{
    if (int32_t err = m_.CloseCarrierList())
        return err;
    if (n != m_.z.system)
        m_.patternDue = true;
    m_.z.system = n;
    m_.z.side = 0;
    m_.lineOffset = 0;
    m_.selection = ' ';

    // The items come from a copy: the error value keeps the whole statement.
    Items items(value);
    do {
        const std::string item = items.Next();
        int32_t err;
        if (!item.empty() && (item[0] == '<' || item[0] == '>')) {
            err = CarriagePass(item);
        } else {
            err = (m_.patternDue && m_.zOpen) ? PatternLines() : 0;
            if (!err)
                err = Item(item, items.Rest());
        }
        if (err)
            return err;
    } while (!items.Empty());
    return 0;
}

int32_t SystemStatement::CarriagePass(const std::string& item)
{
    if (int32_t err = m_.CloseCarrierList())
        return err;
    if (int32_t err = m_.CompleteSelections())
        return err;
    if (m_.z.line < std::numeric_limits<uint16_t>::max())
        ++m_.z.line;
    m_.zOpen = true;
    m_.carriers.Reset();
    m_.patternDue = true;
    // Lines alternate their carriage direction: odd lines run to the
    // right, even lines to the left.
    const char direction = (m_.z.line % 2 == 0) ? '<' : '>';
    if (item.find(direction) == std::string::npos)
        return zerr::kCarriageDirection;
    if (int32_t err = m_.z.ReInitLine())
        return err;
    if (m_.sensor)
        return m_.z.Flag(ZLineWriter::kFlagSensor);
    return 0;
}

int32_t SystemStatement::PatternLines()
{
    const int64_t row = m_.info->Y;
    if (int32_t err = m_.z.PatternLine(0, 0, row + m_.frontOffset + m_.lineOffset))
        return err;
    if (int32_t err = m_.z.PatternLine(1, 0, row + m_.backOffset + m_.lineOffset))
        return err;
    m_.patternDue = false;
    return 0;
}

int32_t SystemStatement::Item(const std::string& item, std::string_view following)
{
    if (StartsWith(item, "Y+") || StartsWith(item, "Y-"))
        return RowMove(item);
    if (StartsWith(item, "YL")) {
        int32_t n = 0;
        if (NumberCode(std::string_view(item).substr(2), n) == 0) {
            m_.lineOffset = n;
            m_.patternDue = true;
        }
        return 0;
    }
    if (StartsWith(item, "YV"))
        return PatternValue(item.substr(2), true, false);
    if (StartsWith(item, "YH"))
        return PatternValue(item.substr(2), false, true);
    if (StartsWith(item, "Y"))
        return PatternValue(item.substr(1), true, true);
    if (StartsWith(item, "FF"))
        return m_.carriers.Item(item, m_.z, *m_.info);
    if (item == ZrVar.KwBlow)
        return m_.z.Flag(ZLineWriter::kFlagH);
    if (item == "POS" || item.empty())
        return 0;
    if (item == "HOME")
        return m_.z.line % 2 == 0 ? m_.z.OFlags(1, 0) : m_.z.OFlags(0, 1);
    if (item == "L")
        return m_.z.OFlags(1, 0);
    if (item == "R")
        return m_.z.OFlags(0, 1);
    return SubItems(item, following);
}

int32_t SystemStatement::RowMove(const std::string& item)
{
    int32_t n = 0;
    if (NumberCode(std::string_view(item).substr(1), n) != 0)
        return 0;  // a move without a number moves nothing
    t_modulset_info& info = *m_.info;
    // Rows live in 16 bits: a move past either end stops there.
    info.Y = static_cast<uint16_t>(std::clamp<int64_t>(int64_t(info.Y) + n, 0, 65535));
    ShowCompilerProgress(m_.ProgressText(), info.MaxY, info.Y);
    m_.patternDue = true;
    if (m_.mode == ModuleMode::Expansion) {
        const std::string code = ModuleRowCode(info.Y);
        if (code != ZrVar.CurrentRowCode)
            return RowError(info.Y, code, zerr::kModuleChange);
    }
    return 0;
}

int32_t SystemStatement::PatternValue(const std::string& text, bool front, bool back)
{
    uint8_t mode = 0;
    std::string_view number = text;
    if (StartsWith(text, "D+") || StartsWith(text, "D-")) {
        mode = 1;
        number.remove_prefix(1);
    } else if (StartsWith(text, "D")) {
        mode = 2;
        number.remove_prefix(1);
    } else if (StartsWith(text, "W")) {
        mode = 3;
        number.remove_prefix(1);
    }
    int32_t value = 0;
    if (NumberCode(number, value) != 0)
        return zerr::kUnknownCommand;
    if (front)
        if (int32_t err = m_.z.PatternLine(0, mode, value))
            return err;
    if (back)
        return m_.z.PatternLine(1, mode, value);
    return 0;
}

int32_t SystemStatement::SetCamSetting(char letter)
{
    uint8_t code = 0;
    switch (letter) {
    case 'A': code = 1; break;
    case 'S': code = 2; break;
    case 'U': code = 4; break;
    case 'T': code = 8; break;
    default: break;
    }
    m_.selection = letter;
    return m_.z.Cam(code);
}

int32_t SystemStatement::ApplyUnitDensity()
{
    const uint8_t step = m_.info->FsUStep;
    if (step == 255)
        return 0;
    return m_.z.Density(true, 3, step);
}

int32_t SystemStatement::ColourDensities(std::string& s)
{
    const uint16_t first = m_.info->FirstColourDensityLine;
    const int64_t line = first;
    int32_t err = m_.z.DensityOn(0, true, 1, line);
    if (!err)
        err = m_.z.DensityOn(1, true, 1, line + 1);
    if (!err)
        err = m_.z.DensityOn(0, false, 1, line + 2);
    if (!err)
        err = m_.z.DensityOn(1, false, 1, line + 3);
    if (err)
        return err;
    const size_t close = s.find(']');
    if (close == std::string::npos)
        return zerr::kUnknownCommand;
    s.erase(0, close + 1);
    return 0;
}

int32_t SystemStatement::StitchDensity(std::string& s)
{
    s.erase(0, 2);  // "FS"
    bool first = true;
    if (!s.empty() && s[0] == 'B') {
        first = false;
        s.erase(0, 1);
        if (!s.empty() && s[0] == '[') {
            const size_t close = s.find(']');
            if (close == std::string::npos)
                return zerr::kUnknownCommand;
            if (int32_t err = m_.z.Selection(2, s.substr(1, std::min(close - 1, kSelectionText))))
                return err;
            s.erase(0, close + 1);
        }
    }
    uint8_t mode = 1;
    if (!s.empty() && s[0] == 'W') {
        mode = 2;
        s.erase(0, 1);
    } else if (!s.empty() && s[0] == 'D') {
        mode = 3;
        s.erase(0, 1);
    } else if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') {
        s.erase(0, 1);  // "L": a line of the stitch density list, as without a letter
    }
    int64_t value = 0;
    if (!TakeDigits(s, value))
        return zerr::kUnknownCommand;
    t_modulset_info& info = *m_.info;
    if (mode == 1 && value <= kUsedFlagLines && info.FLineUsed[size_t(value)] == 1)
        info.FLineUsed[size_t(value)] = 2;
    return m_.z.Density(first, mode, value);
}

int32_t SystemStatement::SubItems(const std::string& item, std::string_view following)
{
    std::string s = item + kSentinel;
    m_.z.side = 0;
    while (!s.empty() && s[0] != kSentinel) {
        const char sel = m_.selection;
        const bool blank = sel == ' ';
        int32_t err = 0;
        if (s[0] == '-') {
            if (m_.z.side == 1)
                return zerr::kUnknownCommand;
            m_.z.side = 1;
            m_.selection = ' ';
            s.erase(0, 1);
            continue;
        }
        if (StartsWith(s, "FD")) {
            err = ColourDensities(s);
        } else if (StartsWith(s, "FS")) {
            err = StitchDensity(s);
        } else if (StartsWith(s, ZrVar.KwNZ)) {
            s.erase(0, ZrVar.KwNZ.size());
            err = m_.z.Flag(ZLineWriter::kFlagL);
        } else if (StartsWith(s, "PJ")) {
            s.erase(0, 2);
            int64_t value = 0;
            // The list keeps no press-jack value: a number that fits the
            // block's byte is all that is checked.
            if (!TakeDigits(s, value) || value > 255)
                return zerr::kUnknownCommand;
            err = m_.z.PressJack(static_cast<uint8_t>(value));
        } else {
            NormalisePrefix(s);
            // The bracket forms: prefix, selection states they accept, the
            // cam they set on a blank side, the entries they write.
            struct Form {
                const char* prefix;
                const char* accepts;
                char cam;
                uint8_t entry;
            };
            // Only "TK" and "TN" look at the rest of the statement.
            const bool tForm = s[0] == 'T' && (s[1] == 'K' || s[1] == 'N');
            const bool withFD = tForm && (Has(s, "FD[") || Has(following, "FD["));
            const bool dollarN = tForm && item.substr(0, item.find('-')).find("$N") != std::string::npos;
            const uint8_t tkEntry = (withFD && (sel == 'T' || dollarN)) ? uint8_t(0) : kEntries0And2;
            const uint8_t tnEntry = withFD ? kEntries1And2 : uint8_t(1);
            const Form forms[] = {
                {"[", " S", 'S', 0},         {"K[", " S", 'S', kEntries0And2}, {"F[", " SU", 'S', 1},
                {"FK[", " SU", 'S', kEntries1And2}, {"KF[", " SU", 'S', kEntries1And2}, {"T[", " TU", 'U', 0},
                {"TK[", " TU", 'U', tkEntry}, {"TN[", " TU", 'T', tnEntry}, {"U[", " U", 'U', 0},
                {"UK[", " U", 'U', kEntries0And2}, {"NK[", " U", 'U', kEntries1And2}, {"NA", " U", 'U', 1},
                {"N", " U", 'U', 1},         {"A", " A", 'A', 2},
            };
            const Form* form = nullptr;
            for (const Form& f : forms) {
                if (StartsWith(s, f.prefix)) {
                    form = &f;
                    break;
                }
            }
            if (!form || std::string_view(form->accepts).find(sel) == std::string_view::npos)
                return zerr::kUnknownCommand;
            const std::string_view prefix = form->prefix;
            // "TN" sets its cam over a "U" as well.
            if (blank || (prefix == "TN[" && sel == 'U'))
                if ((err = SetCamSetting(form->cam)))
                    return err;
            s.erase(0, prefix.back() == '[' ? prefix.size() - 1 : prefix.size());
            if (prefix == "NA")
                s = "[!AUTO]" + s;
            if ((err = SetNeedleSelection(s, form->entry, m_.z)))
                return err;
            if (prefix == "U[" || prefix == "NA" || prefix == "N")
                err = ApplyUnitDensity();
        }
        if (err)
            return err;
    }
    return 0;
}
