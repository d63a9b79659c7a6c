#include "kernel/listaccess/slistaccess.h"

#include <cstdlib>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"

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

// A choice byte of the block (0 or 1) into the line; its error code
// otherwise, with the line left as it was.
uint16_t StoreChoice(const ProgramCommandBlock& block, size_t from, uint8_t* line, size_t to, uint16_t code)
{
    const uint8_t value = block.U8(from);
    if (uint16_t rc = CheckRange(value, 0, 1, code))
        return rc;
    line[to] = value;
    return 0;
}

// A u16 field of the block into the line when it lies in low..high; its
// error code otherwise, with the line left as it was.
uint16_t StoreU16(const ProgramCommandBlock& block, size_t from, uint8_t* line, size_t to, int32_t low,
                  int32_t high, uint16_t code)
{
    const uint16_t value = block.U16(from);
    if (uint16_t rc = CheckRange(value, low, high, code))
        return rc;
    put_u16(line, to, value);
    return 0;
}

// An i16 offset field of the block (-9999..9999) into the line; its error
// code otherwise, with the line left as it was.
uint16_t StoreI16(const ProgramCommandBlock& block, size_t from, uint8_t* line, size_t to, uint16_t code)
{
    const int16_t value = block.I16(from);
    if (uint16_t rc = CheckRange(value, -9999, 9999, code))
        return rc;
    put_i16(line, to, value);
    return 0;
}

// Fields are checked and stored in line order; the first failure ends the
// write and keeps what was stored before it.
uint16_t WriteNeedleDivision(const ProgramCommandBlock& block, uint8_t* line)
{
    if (uint16_t rc = StoreChoice(block, sblock::kNeedleChoice, line, sline::kNeedleChoice, zerr::kSNeedleChoice))
        return rc;

    if (uint16_t rc = StoreU16(block, sblock::kNeedleStart, line, sline::kNeedleStart, 0, 9999, zerr::kSNeedleStart))
        return rc;

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

    if (uint16_t rc = StoreU16(block, sblock::kStart, line, sline::kStart, 1, 9999, zerr::kSStartAddress))
        return rc;
    if (uint16_t rc = StoreI16(block, sblock::kOffset, line, sline::kOffset, zerr::kSOffset))
        return rc;

    if (uint16_t rc = StoreChoice(block, sblock::kChoice, line, sline::kChoice, zerr::kSChoice))
        return rc;

    if (uint16_t rc = StoreU16(block, sblock::kRepetitions, line, sline::kRepetitions, 0, 9999, zerr::kSRepetitions))
        return rc;

    if (kind == 1) {
        // This kind has no needle division: its fields are held at 0.
        line[sline::kNeedleChoice] = 0;
        put_u16(line, sline::kNeedleStart, 0);
        line[sline::kNeedleOffsetChoice] = 0;
        put_u16(line, sline::kNeedleOffset, 0);
    } else if (uint16_t rc = WriteNeedleDivision(block, line)) {
        return rc;
    }

    if (uint16_t rc = StoreU16(block, sblock::kYStartFront, line, sline::kYStartFront, 0, 9999, zerr::kSYStartFront))
        return rc;
    if (uint16_t rc = StoreI16(block, sblock::kYOffsetFront, line, sline::kYOffsetFront, zerr::kSYOffsetFront))
        return rc;
    if (uint16_t rc = StoreU16(block, sblock::kYStartBack, line, sline::kYStartBack, 0, 9999, zerr::kSYStartBack))
        return rc;
    if (uint16_t rc = StoreI16(block, sblock::kYOffsetBack, line, sline::kYOffsetBack, zerr::kSYOffsetBack))
        return rc;
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
