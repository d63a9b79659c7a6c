#include "kernel/listaccess/nlistaccess.h"

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"

namespace {

// The line and the block number the first two repetition kinds the other
// way round; the same swap maps in both directions.
uint8_t SwapKind(uint8_t kind)
{
    return kind == 0 ? 1 : kind == 1 ? 0 : kind;
}

void ReadNLine(ProgramCommandBlock& block, const uint8_t* line)
{
    block.SetU8(nblock::kKind, line[nline::kKind]);
    block.SetU16(nblock::kStart, get_u16(line, nline::kStart));
    block.SetI16(nblock::kOffset, get_i16(line, nline::kOffset));
    block.SetU8(nblock::kRepetitionKind, SwapKind(line[nline::kRepetitionKind]));
    block.SetU16(nblock::kRepetitionCount, get_u16(line, nline::kRepetitionCount));
}

uint16_t CheckNLine(const ProgramCommandBlock& block)
{
    const uint8_t kind = block.U8(nblock::kRepetitionKind);
    const int lowestCount = kind == 0 ? 1 : 0;
    const uint16_t checks[] = {
        CheckRange(block.U8(nblock::kKind), 0, 1, zerr::kNKind),
        CheckRange(block.U16(nblock::kStart), 0, 9999, zerr::kNStart),
        CheckRange(block.I16(nblock::kOffset), -9999, 9999, zerr::kNOffset),
        CheckRange(kind, 0, 4, zerr::kNRepetitionKind),
        CheckRange(block.U16(nblock::kRepetitionCount), lowestCount, 9999, zerr::kNRepetitionCount),
    };
    for (uint16_t rc : checks)
        if (rc)
            return rc;
    return 0;
}

uint16_t WriteNLine(const ProgramCommandBlock& block)
{
    if (uint16_t rc = CheckNLine(block))
        return rc;
    uint8_t* line = NListe->GetLine(block.Line());
    line[nline::kKind] = block.U8(nblock::kKind);
    put_u16(line, nline::kStart, block.U16(nblock::kStart));
    put_i16(line, nline::kOffset, block.I16(nblock::kOffset));
    line[nline::kRepetitionKind] = SwapKind(block.U8(nblock::kRepetitionKind));
    put_u16(line, nline::kRepetitionCount, block.U16(nblock::kRepetitionCount));
    return 0;
}

}  // namespace

uint16_t accessNList(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kNLastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadNLine(block, NListe->GetLine(block.Line()));
        return 0;
    case 1:
        return WriteNLine(block);
    case 5:
        NListe->InitLine(block.Line());
        return 0;
    default:
        return 0;
    }
}
