#include "kernel/listaccess/slistaccess.h"

#include <cstdlib>

#include "kernel/bytes.h"
#include "kernel/errorcodes.h"
#include "kernel/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listmodel.h"

namespace {

void ReadSLine(ProgramCommandBlock& block, const uint8_t* line)
{
    block.SetU8(sblock::kKind, line[sline::kKind]);
    block.SetU16(sblock::kStart, get_u16(line, sline::kStart));
    block.SetI16(sblock::kOffset, get_i16(line, sline::kOffset));
    block.SetU8(sblock::kChoice, line[sline::kChoice]);
    block.SetU16(sblock::kRepetitions, get_u16(line, sline::kRepetitions));
    block.SetU8(sblock::kNeedleChoice, line[sline::kNeedleChoice]);
    block.SetU16(sblock::kNeedleStart, get_u16(line, sline::kNeedleStart));
    const uint8_t packed = line[sline::kNeedleOffsetChoice];
    block.SetU8(sblock::kNeedleOffsetChoice, static_cast<uint8_t>((packed >> 1) & 127));
    // Only choice 0 keeps a sign.
    const int magnitude = get_u16(line, sline::kNeedleOffset);
    block.SetI16(sblock::kNeedleOffset, static_cast<int16_t>(packed == 1 ? -magnitude : magnitude));
    block.SetU16(sblock::kYStartFront, get_u16(line, sline::kYStartFront));
    block.SetI16(sblock::kYOffsetFront, get_i16(line, sline::kYOffsetFront));
    block.SetU16(sblock::kYStartBack, get_u16(line, sline::kYStartBack));
    block.SetI16(sblock::kYOffsetBack, get_i16(line, sline::kYOffsetBack));
}

// Fields are checked and stored in line order; the first failure ends the
// write and keeps what was stored before it.
uint16_t WriteNeedleDivision(const ProgramCommandBlock& block, uint8_t* line)
{
    const uint8_t choice = block.U8(sblock::kNeedleChoice);
    if (uint16_t rc = CheckRange(choice, 0, 1, zerr::kSNeedleChoice))
        return rc;
    line[sline::kNeedleChoice] = choice;

    const uint16_t start = block.U16(sblock::kNeedleStart);
    if (uint16_t rc = CheckRange(start, 0, 9999, zerr::kSNeedleStart))
        return rc;
    put_u16(line, sline::kNeedleStart, start);

    const uint8_t offsetChoice = block.U8(sblock::kNeedleOffsetChoice);
    const int16_t offset = block.I16(sblock::kNeedleOffset);
    if (uint16_t rc = CheckRange(offsetChoice, 0, 1, zerr::kSNeedleOffsetChoice))
        return rc;
    line[sline::kNeedleOffsetChoice] = static_cast<uint8_t>(offsetChoice * 2 + (offsetChoice == 0 && offset < 0 ? 1 : 0));
    if (uint16_t rc = CheckRange(offset, -9999, 9999, zerr::kSNeedleOffset))
        return rc;
    put_u16(line, sline::kNeedleOffset, static_cast<uint16_t>(std::abs(offset)));
    return 0;
}

uint16_t WriteSLine(const ProgramCommandBlock& block)
{
    const uint8_t kind = block.U8(sblock::kKind);
    if (uint16_t rc = CheckRange(kind, 0, 1, zerr::kSKind))
        return rc;
    const uint16_t start = block.U16(sblock::kStart);
    if (start == 0)
        return 0;
    uint8_t* line = SListe->GetLine(block.Line());
    line[sline::kKind] = kind;

    if (uint16_t rc = CheckRange(start, 1, 9999, zerr::kSStartAddress))
        return rc;
    put_u16(line, sline::kStart, start);

    const int16_t offset = block.I16(sblock::kOffset);
    if (uint16_t rc = CheckRange(offset, -9999, 9999, zerr::kSOffset))
        return rc;
    put_i16(line, sline::kOffset, offset);

    const uint8_t choice = block.U8(sblock::kChoice);
    if (uint16_t rc = CheckRange(choice, 0, 1, zerr::kSChoice))
        return rc;
    line[sline::kChoice] = choice;

    const uint16_t repetitions = block.U16(sblock::kRepetitions);
    if (uint16_t rc = CheckRange(repetitions, 0, 9999, zerr::kSRepetitions))
        return rc;
    put_u16(line, sline::kRepetitions, repetitions);

    if (kind == 1) {
        // This kind has no needle division: its fields are held at 0.
        line[sline::kNeedleChoice] = 0;
        put_u16(line, sline::kNeedleStart, 0);
        line[sline::kNeedleOffsetChoice] = 0;
        put_u16(line, sline::kNeedleOffset, 0);
    } else if (uint16_t rc = WriteNeedleDivision(block, line)) {
        return rc;
    }

    const uint16_t yStartFront = block.U16(sblock::kYStartFront);
    if (uint16_t rc = CheckRange(yStartFront, 0, 9999, zerr::kSYStartFront))
        return rc;
    put_u16(line, sline::kYStartFront, yStartFront);
    const int16_t yOffsetFront = block.I16(sblock::kYOffsetFront);
    if (uint16_t rc = CheckRange(yOffsetFront, -9999, 9999, zerr::kSYOffsetFront))
        return rc;
    put_i16(line, sline::kYOffsetFront, yOffsetFront);
    const uint16_t yStartBack = block.U16(sblock::kYStartBack);
    if (uint16_t rc = CheckRange(yStartBack, 0, 9999, zerr::kSYStartBack))
        return rc;
    put_u16(line, sline::kYStartBack, yStartBack);
    const int16_t yOffsetBack = block.I16(sblock::kYOffsetBack);
    if (uint16_t rc = CheckRange(yOffsetBack, -9999, 9999, zerr::kSYOffsetBack))
        return rc;
    put_i16(line, sline::kYOffsetBack, yOffsetBack);
    return 0;
}

}  // namespace

uint16_t accessSList(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kSLastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadSLine(block, SListe->GetLine(block.Line()));
        return 0;
    case 1:
        return WriteSLine(block);
    case 5:
        SListe->InitLine(block.Line());
        return 0;
    default:
        return 0;
    }
}
