#include "kernel/compiler/moduleexpansion.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "kernel/compiler/compilerrecord.h"
#include "kernel/compiler/compilerstatus.h"
#include "kernel/compiler/modulecompiler.h"
#include "kernel/compiler/modulesets.h"
#include "kernel/dispatch/errorcodes.h"
#include "kernel/listaccess/nlistaccess.h"
#include "kernel/listaccess/slistaccess.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace {

constexpr uint8_t kNList = 6;
constexpr uint8_t kSList = 9;
constexpr uint8_t kWComment = 157;
constexpr uint8_t kNComment = 156;
constexpr uint8_t kSComment = 159;
constexpr uint8_t kRead = 0;
constexpr uint8_t kWrite = 1;
constexpr uint8_t kWriteKeep = 2;
constexpr uint8_t kNSelector = 6;
constexpr uint8_t kSSelector = 9;
constexpr uint8_t kRepeatFixed = 1;     // "D" in the needle division block
constexpr uint8_t kRepeatSelector = 0;  // "W"
constexpr uint8_t kSelectorRowCell = 3;  // cell 4 of a selector row that sets WS
constexpr uint8_t kNoMode = 255;

// Values go into the 16-bit block fields saturated, so that one too large
// for its field is refused by the list instead of wrapping into range.
uint16_t SatU16(int64_t v)
{
    return static_cast<uint16_t>(std::clamp<int64_t>(v, 0, 65535));
}
int16_t SatI16(int64_t v)
{
    return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
}

ProgramCommandBlock ListBlock(uint8_t code, uint8_t sub, int64_t line, uint8_t selector)
{
    ProgramCommandBlock b;
    b.SetCode(code);
    b.SetSub(sub);
    b.SetLine(SatU16(line));
    b.SetCountField(1);
    b.SetSelector(selector);
    return b;
}

// A line number a list can be asked for at all; beyond, the list refuses it.
int32_t LineCheck(int64_t line)
{
    return (line < 0 || line > 65535) ? zerr::kBadListNumber : 0;
}

int32_t CopyComment(uint8_t fromCode, int64_t fromLine, uint8_t toCode, int64_t toLine)
{
    if (int32_t err = LineCheck(fromLine) ? LineCheck(fromLine) : LineCheck(toLine))
        return err;
    ProgramCommandBlock read = ListBlock(fromCode, kRead, fromLine, 0);
    if (int32_t err = ProgramDispatch(read))
        return err;
    ProgramCommandBlock write = ListBlock(toCode, kWriteKeep, toLine, 0);
    write.SetText(read.Text(ProgramCommandBlock::kData, 80), ProgramCommandBlock::kData, 80);
    return ProgramDispatch(write);
}

uint8_t ModeCode(const std::string& code)
{
    return code.size() == 3 ? static_cast<uint8_t>(code[2]) : kNoMode;
}

int Magnitude(int16_t v)
{
    return std::abs(int(v));
}

int16_t Increment(int16_t v)
{
    return v == std::numeric_limits<int16_t>::max() ? v : int16_t(v + 1);
}

uint16_t PatternHeight()
{
    if (!BildEbene0.present || BildEbene0.rowCount() == 0)
        return 0;
    return static_cast<uint16_t>(std::min<size_t>(BildEbene0.rowCount() - 1, ProgrammKopf.Height()));
}

// The box shows the module-set code of the row being knitted.
void Progress(const t_modulset_info& info)
{
    std::string text = "[";
    text.append(ZrVar.CurrentRowCode, 0, 2);
    text += ']';
    ShowCompilerProgress(text, info.MaxY, info.Y);
}

}  // namespace

int32_t RowError(uint16_t row, const std::string& code, int32_t error)
{
    t_K8_heap_var& z = ZrVar;
    z.ErrorToken = "Y" + std::to_string(row) + ": [" + code.substr(0, 2) + "]";
    z.ErrorValue.clear();
    z.ErrorLine = 0;
    z.ErrorColumn = 0;
    return z.ErrorCode = error;
}

std::string ModuleRowCode(uint16_t y)
{
    const std::string& symbols = ZrVar.Symbols;
    std::string code;
    for (uint16_t x = 1; x <= 2; ++x) {
        const uint8_t cell = PatternCell(x, y);
        if (cell >= 1 && cell <= symbols.size())
            code += symbols[cell - 1];
    }
    code += static_cast<char>(PatternCell(3, y));
    return code;
}

int32_t BuildNeedleDivisionLines()
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& info = *z.ModulsetInfo;
    const uint16_t row = static_cast<uint16_t>(std::min<int>(info.Y + 1, 65535));
    int64_t line = info.NextNLine;
    int32_t err = 0;

    auto write = [&](int64_t start, int64_t offset, uint8_t repeat, int64_t count) {
        if ((err = LineCheck(line)))
            return;
        ProgramCommandBlock b = ListBlock(kNList, kWrite, line, kNSelector);
        b.SetU8(nblock::kKind, 0);  // "X"
        b.SetU16(nblock::kStart, SatU16(start));
        b.SetI16(nblock::kOffset, SatI16(offset));
        b.SetU8(nblock::kRepetitionKind, repeat);
        b.SetU16(nblock::kRepetitionCount, SatU16(count));
        err = ProgramDispatch(b);
    };

    if (info.FLineUsed[0] != 0) {
        write(1, 0, kRepeatFixed, 0);
        ++line;
    }
    const int width = info.MaxX;
    int column = info.X;
    auto division = [&](int x) { return z.ExpandModesAll.test(PatternCell(uint16_t(x), row)); };
    while (column <= width && err == 0) {
        while (column <= width && !division(column))
            ++column;
        // A run of other cells up to the width ends the row: nothing more to
        // divide, and the column never stands still.
        if (column > width)
            break;
        const uint8_t c = PatternCell(uint16_t(column), row);
        int end = column;
        while (end < width && PatternCell(uint16_t(end + 1), row) == c)
            ++end;
        if (z.ExpandModes45.test(c)) {
            write(column, end - column, kRepeatFixed, 1);
        } else {
            const int selectorLine = Magnitude(info.WN);
            info.WN = Increment(info.WN);
            write(column, end - column, kRepeatSelector, selectorLine);
            if (err == 0)
                err = CopyComment(kWComment, selectorLine, kNComment, line);
        }
        ++line;
        column = end + 1;
    }
    info.NextNLine = SatU16(line + 1);  // one N line stays free after each group
    return z.ErrorCode = err;
}

int32_t ExpandModuleSet()
{
    return ModuleExpansion().Run();
}

ModuleExpansion::ModuleExpansion()
{
    for (ProgramCommandBlock* b : {&m_, &g_}) {
        *b = ListBlock(kSList, kWriteKeep, 0, kSSelector);
        b->SetU8(sblock::kNeedleChoice, 0);
        b->SetU8(sblock::kNeedleOffsetChoice, 0);
        b->SetU16(sblock::kNeedleStart, 0);
        b->SetI16(sblock::kNeedleOffset, 0);
    }
    height_ = PatternHeight();
}

int32_t ModuleExpansion::WriteS(ProgramCommandBlock& block)
{
    ProgramCommandBlock copy = block;
    return ProgramDispatch(copy);
}

int32_t ModuleExpansion::CopySelectorComment(int32_t selectorLine, uint16_t sLine)
{
    return CopyComment(kWComment, selectorLine, kSComment, sLine);
}

void ModuleExpansion::SelectorRowWS()
{
    t_modulset_info& info = *ZrVar.ModulsetInfo;
    if (PatternCell(4, info.Y) == kSelectorRowCell)
        info.WS = SatI16(int(PatternCell(5, info.Y)) - (Magnitude(info.WSCopy) + 1));
}

bool ModuleExpansion::ScanToModuleRow(uint16_t& row)
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& info = *z.ModulsetInfo;
    for (int r = info.Y + 1;; ++r) {
        if (r > info.MaxY)
            return false;
        // Rows past the pattern end the scan once it has looked at a row of
        // it. A first row past it (no pattern loaded, or one shorter than
        // the first row) is a module row whose code names no set: the user
        // is told instead of getting an empty program.
        if (r > height_ && examined_)
            return false;
        examined_ = true;
        info.Y = static_cast<uint16_t>(r - 1);
        z.CurrentRowCode = ModuleRowCode(uint16_t(r));
        Progress(info);
        const std::string first = z.CurrentRowCode.substr(0, 2);
        if (first == ">>") {
            if (int32_t err = NeedleDivisionRow()) {
                RowError(uint16_t(r), z.CurrentRowCode, err);
                return false;
            }
            continue;
        }
        if (first == "--")
            continue;
        row = static_cast<uint16_t>(r);
        return true;
    }
}

int32_t ModuleExpansion::NeedleDivisionRow()
{
    t_modulset_info& info = *ZrVar.ModulsetInfo;
    // Without a Z line since the last ">>" row, this row's lines take that
    // row's place.
    if (remembered_ && info.Z == rememberedZ_) {
        info.NextNLine = rememberedN_;
        info.WN = rememberedWN_;
    }
    remembered_ = true;
    rememberedN_ = info.NextNLine;
    rememberedWN_ = info.WN;
    rememberedZ_ = info.Z;
    const uint16_t start = info.NextNLine;
    m_.SetU16(sblock::kNeedleStart, start);
    if (int32_t err = BuildNeedleDivisionLines())
        return err;
    m_.SetI16(sblock::kNeedleOffset, SatI16(int(info.NextNLine) - start - 2));
    return 0;
}

int32_t ModuleExpansion::Run()
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& info = *z.ModulsetInfo;
    z.ErrorCode = 0;
    while (info.Y < info.MaxY && z.ErrorCode == 0) {
        uint16_t row = 0;
        if (!ScanToModuleRow(row))
            break;
        if (z.ErrorCode == 0)
            z.ErrorCode = CompileRow(row, z.CurrentRowCode);
    }
    return z.ErrorCode;
}

int32_t ModuleExpansion::CompileRow(uint16_t row, const std::string& code)
{
    t_K8_heap_var& z = ZrVar;
    const std::array<uint8_t, 2> setCode = {static_cast<uint8_t>(code.size() > 0 ? code[0] : 0),
                                            static_cast<uint8_t>(code.size() > 1 ? code[1] : 0)};
    const ModuleSetRecord* set = code.size() >= 2 ? FindModuleSet(setCode) : nullptr;
    if (!set || !set->found) {
        // A set whose module the script never defines is as missing as a
        // code without a set.
        const int32_t err = RowError(row, code, zerr::kModuleNotFound);
        if (set)
            z.ErrorToken = set->name;
        return err;
    }
    ModuleStatements& statements = modules_[set->filePosition];
    if (!statements.complete) {
        statements.statements.clear();
        if (int32_t err = PositionAtModule(*set))
            return err;
    }
    const uint16_t startZ = z.ModulsetInfo->Z;
    z.ErrorLine = set->startLine;
    if (int32_t err = CompileModuleBody(ModuleMode::Expansion, set, &statements))
        return err;
    if (z.ModulsetInfo->Z == startZ)
        return 0;  // the module wrote no Z line: nothing to run for this row
    // The lines written from here on are the expansion's own: a refusal
    // names the row, not the module's last statement.
    if (int32_t err = SequenceRow(row, code, startZ))
        return RowError(row, code, err);
    return 0;
}

uint16_t ModuleExpansion::Repetitions(const std::string& code, int k)
{
    t_modulset_info& info = *ZrVar.ModulsetInfo;
    uint16_t repetitions = 1;
    for (;;) {
        if (int(info.Y) + k > 65535)
            break;
        bool same = true;
        for (int i = 1; i <= k && same; ++i)
            same = ModuleRowCode(uint16_t(info.Y + i)) == code;
        if (!same)
            break;
        if (repetitions < std::numeric_limits<uint16_t>::max())
            ++repetitions;
        info.Y = static_cast<uint16_t>(info.Y + k);
        Progress(info);
    }
    return repetitions;
}

int32_t ModuleExpansion::SequenceRow(uint16_t row, const std::string& code, uint16_t startZ)
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& info = *z.ModulsetInfo;
    uint16_t& main = info.SCounters[1];
    uint16_t& sub = info.SCounters[2];

    int64_t mLine = 3 * int64_t(main) - 2;
    m_.SetU8(sblock::kKind, 0);
    m_.SetU16(sblock::kStart, startZ);
    m_.SetU8(sblock::kChoice, 0);
    m_.SetU16(sblock::kYStartFront, row);

    const int k = int(info.Y) - row + 1;
    m_.SetI16(sblock::kYOffsetFront, SatI16(k));
    m_.SetI16(sblock::kOffset, SatI16(int(info.Z) - startZ - 1));

    const uint16_t repetitions = Repetitions(code, k);
    m_.SetU16(sblock::kRepetitions, repetitions);
    if (repetitions > 1) {
        m_.SetU16(sblock::kYStartBack, m_.U16(sblock::kYStartFront));
        m_.SetI16(sblock::kYOffsetBack, m_.I16(sblock::kYOffsetFront));
    } else {
        m_.SetU16(sblock::kYStartFront, 0);
        m_.SetI16(sblock::kYOffsetFront, 0);
        m_.SetU16(sblock::kYStartBack, 0);
        m_.SetI16(sblock::kYOffsetBack, 0);
    }

    z.NextRowCode = info.Y < 65535 ? ModuleRowCode(uint16_t(info.Y + 1)) : std::string();
    const uint8_t mode = ModeCode(code);
    const bool selectorRow = z.ExpandModes910.test(mode);

    if (ModeCode(z.NextRowCode) == mode) {
        if (!inGroup_) {
            g_.SetLine(SatU16(mLine));
            g_.SetU8(sblock::kKind, 1);
            g_.SetU16(sblock::kStart, sub);
            g_.SetI16(sblock::kOffset, 1);
            g_.SetU8(sblock::kChoice, 0);
            g_.SetU16(sblock::kRepetitions, 1);
            if (selectorRow) {
                SelectorRowWS();
                const int selectorLine = Magnitude(info.WS);
                g_.SetU8(sblock::kChoice, 1);
                g_.SetU16(sblock::kRepetitions, SatU16(selectorLine));
                info.WS = Increment(info.WS);
                if (int32_t err = CopySelectorComment(selectorLine, g_.Line()))
                    return err;
            }
            g_.SetU16(sblock::kYStartFront, 0);
            g_.SetI16(sblock::kYOffsetFront, 0);
            g_.SetU16(sblock::kYStartBack, 0);
            g_.SetI16(sblock::kYOffsetBack, 0);
            inGroup_ = true;
            closeGroup_ = false;
            ++main;
        } else {
            g_.SetI16(sblock::kOffset, SatI16(g_.I16(sblock::kOffset) + 1));
        }
        mLine = 3 * int64_t(sub) - 1;
    } else if (inGroup_) {
        if (int32_t err = LineCheck(g_.Line()) ? LineCheck(g_.Line()) : WriteS(g_))
            return err;
        closeGroup_ = true;
        mLine = 3 * int64_t(sub) - 1;
    }

    if (selectorRow && !inGroup_) {
        SelectorRowWS();
        const int selectorLine = Magnitude(info.WS);
        if (m_.U16(sblock::kYStartFront) != 0) {
            // A repeated module under a selector: a group line of its own
            // runs it as a sub-sequence.
            ProgramCommandBlock group = m_;
            group.SetLine(SatU16(mLine));
            group.SetU8(sblock::kKind, 1);
            group.SetU16(sblock::kStart, sub);
            group.SetI16(sblock::kOffset, 0);
            group.SetU8(sblock::kChoice, 1);
            group.SetU16(sblock::kRepetitions, SatU16(selectorLine));
            group.SetU16(sblock::kYStartFront, 0);
            group.SetI16(sblock::kYOffsetFront, 0);
            group.SetU16(sblock::kYStartBack, 0);
            group.SetI16(sblock::kYOffsetBack, 0);
            if (int32_t err = LineCheck(mLine) ? LineCheck(mLine) : WriteS(group))
                return err;
            info.WS = Increment(info.WS);
            mLine = 3 * int64_t(sub) - 1;
            sub = SatU16(int(sub) + 1 + z.SubSequenceGap);
        } else {
            m_.SetU8(sblock::kChoice, 1);
            m_.SetU16(sblock::kRepetitions, SatU16(selectorLine));
            info.WS = Increment(info.WS);
        }
    }

    m_.SetU16(sblock::kYStartFront, 0);
    m_.SetU16(sblock::kYStartBack, 0);
    if (int32_t err = LineCheck(mLine))
        return err;
    m_.SetLine(SatU16(mLine));
    if (int32_t err = WriteS(m_))
        return err;

    if (inGroup_)
        sub = SatU16(int(sub) + 1);
    else
        main = SatU16(int(main) + 1);
    if (closeGroup_) {
        inGroup_ = false;
        closeGroup_ = false;
        sub = SatU16(int(sub) + z.SubSequenceGap);
    }
    if (m_.U8(sblock::kChoice) == 1)
        return CopySelectorComment(m_.U16(sblock::kRepetitions), m_.Line());
    return 0;
}
