#include "kernel/compiler/colourdensities.h"

#include <algorithm>
#include <string>

#include "kernel/compiler/compilerblock.h"
#include "kernel/compiler/compilerrecord.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace {
constexpr uint8_t kFList = 2;
constexpr uint8_t kFSelector = 2;
constexpr uint8_t kCommentSelector = 'e';
constexpr int kTableSymbols = 19;

void MarkUsed(t_modulset_info& rec, uint16_t line)
{
    if (line < kUsedFlagLines)
        rec.FLineUsed[line] = 1;
}

void PutSlotValues(ProgramCommandBlock& b, const ColourDensitySlot& slot)
{
    b.SetU8(12, slot.leftFlag ? 2 : 0);
    b.SetU16(14, slot.leftValue);
    b.SetU8(16, slot.rightFlag ? 2 : 0);
    b.SetU16(18, slot.rightValue);
}
}  // namespace

int32_t WriteColourSlotLines()
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& rec = CompilerRecord();
    for (int side = 1; side <= 2; ++side) {
        for (int k = 1; k <= kTableSymbols; ++k) {
            for (int slot = 1; slot <= 2; ++slot) {
                const ColourDensitySlot& s = rec.ColourDensity[size_t(k - 1)][size_t(side - 1)][size_t(slot - 1)];
                if (!s.filled)
                    continue;
                int line = ColourDensityTableLine(side, k) + (slot == 2 ? z.BridgeValue : 0);
                line = std::min(line, 65535);
                // Each slot's line opens a sub-list numbered as the line, so
                // the module statements reach it by that number.
                ProgramCommandBlock b = CompilerBlock(kFList, 1, uint16_t(line), kFSelector);
                b.SetU16(10, uint16_t(line));
                PutSlotValues(b, s);
                if (int32_t e = CompilerSend(b))
                    return z.ErrorCode = e;
                ProgramCommandBlock c = CompilerBlock(kFList + 150, 2, uint16_t(line), kCommentSelector);
                c.SetText(s.comment, ProgramCommandBlock::kData, 80);
                if (int32_t e = CompilerSend(c))
                    return z.ErrorCode = e;
                MarkUsed(rec, uint16_t(line));
            }
        }
    }
    return z.ErrorCode;
}

int32_t BuildColourDensities()
{
    t_K8_heap_var& z = ZrVar;
    t_modulset_info& rec = CompilerRecord();
    if (rec.ColourString.empty()) {
        BildEbene2.present = false;
        BildEbene2.release();
        return z.ErrorCode;
    }
    const std::string& symbols = z.Symbols;
    for (int side = 0; side < 2; ++side) {
        for (int slot = 0; slot < 2; ++slot) {
            std::string rest = rec.ColourString;
            bool first = true;
            for (size_t k = 0; k < symbols.size() && k < size_t(kDensitySymbols); ++k) {
                size_t at = rest.find(symbols[k]);
                if (at == std::string::npos)
                    continue;
                rest.erase(at, 1);
                ProgramCommandBlock b = CompilerBlock(kFList, 1, rec.NextFLine, kFSelector);
                rec.NextFLine = uint16_t(std::min(rec.NextFLine + 1, 65535));
                if (first) {
                    b.SetU16(10, rec.NextFSubList);
                    rec.NextFSubList = uint16_t(std::min(rec.NextFSubList + 1, 65535));
                } else {
                    b.SetText(std::string(1, symbols[k]), 21, 32);
                }
                b.SetU8(20, rest.empty() ? 0 : 1);
                PutSlotValues(b, rec.ColourDensity[k][size_t(side)][size_t(slot)]);
                first = false;
                if (int32_t e = CompilerSend(b)) {
                    if (z.ErrorCode == 0)
                        z.ErrorCode = e;
                    return z.ErrorCode;
                }
            }
        }
    }
    return z.ErrorCode;
}

void FixUsedDensityLines()
{
    t_K8_heap_var& z = ZrVar;
    if (!z.DensityFixUp || !z.ModulsetInfo)
        return;
    const t_modulset_info& rec = *z.ModulsetInfo;
    int32_t kept = z.ErrorCode;
    // The flags cover lines up to 200 only, however high the lines in use go.
    uint16_t last = std::min<uint16_t>(rec.HighestFLine, kUsedFlagLines);
    for (uint16_t line = 1; line <= last; ++line) {
        // 1: defined by the header and never named by a module; a line a
        // module uses (2) keeps its values.
        if (rec.FLineUsed[line] != 1)
            continue;
        ProgramCommandBlock b = CompilerBlock(kFList, 3, line, kFSelector);
        CompilerSend(b);
    }
    z.ErrorCode = kept;
}
