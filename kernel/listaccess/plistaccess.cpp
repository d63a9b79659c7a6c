#include "kernel/listaccess/plistaccess.h"

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/colourset.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"

namespace {

void ReadPLine(ProgramCommandBlock& block, const uint8_t* line)
{
    block.SetU16(pblock::kListNumber, get_u16(line, pline::kListNumber));
    block.SetU8(pblock::kRail, line[pline::kRail]);
    const uint8_t box = line[pline::kBox];
    block.SetU8(pblock::kBox, box == 0 ? ' ' : static_cast<uint8_t>(64 + box));
    block.SetU8(pblock::kSwingLeft, line[pline::kSwingLeft]);
    block.SetU8(pblock::kSwingRight, line[pline::kSwingRight]);
    block.SetI16(pblock::kOffsetLeft, get_i16(line, pline::kOffsetLeft));
    block.SetI16(pblock::kOffsetRight, get_i16(line, pline::kOffsetRight));
    block.SetU8(pblock::kForce, 0);
    block.SetText(ColourSetToText(get_u32(line, pline::kColours)), pblock::kColours, pblock::kColoursCap);
}

uint16_t CheckSwing(uint8_t swing, uint16_t code)
{
    return (swing == 0 || swing == 2 || swing == 3) ? 0 : code;
}

// 32768 leaves the offset unset.
uint16_t CheckOffset(const ProgramCommandBlock& block, size_t off, uint16_t code)
{
    if (block.U16(off) == kPOffsetUnset)
        return 0;
    return CheckRange(block.I16(off), -9999, 9999, code);
}

uint16_t WritePLine(const ProgramCommandBlock& block)
{
    const uint16_t number = block.U16(pblock::kListNumber);
    if (uint16_t rc = CheckRange(number, 0, 1999, zerr::kBadListNumber))
        return rc;
    uint8_t* line = PListe->GetLine(block.Line());
    put_u16(line, pline::kListNumber, number);

    // Each field is stored as soon as it passes; the first failure ends the write.
    const uint8_t rail = block.U8(pblock::kRail);
    if (uint16_t rc = CheckRange(rail, 0, 8, zerr::kPRail))
        return rc;
    if (rail == 0)
        return 0;
    line[pline::kRail] = rail;

    const uint8_t box = block.U8(pblock::kBox);
    if (box != ' ' && (box < 'A' || box > 'H'))
        return zerr::kPBox;
    line[pline::kBox] = box == ' ' ? 0 : static_cast<uint8_t>(box - 64);

    put_u32(line, pline::kColours, TextToColourSet(block.Text(pblock::kColours, pblock::kColoursCap)));

    if (uint16_t rc = CheckSwing(block.U8(pblock::kSwingLeft), zerr::kPSwingLeft))
        return rc;
    line[pline::kSwingLeft] = block.U8(pblock::kSwingLeft);
    if (uint16_t rc = CheckSwing(block.U8(pblock::kSwingRight), zerr::kPSwingRight))
        return rc;
    line[pline::kSwingRight] = block.U8(pblock::kSwingRight);

    if (uint16_t rc = CheckOffset(block, pblock::kOffsetLeft, zerr::kPOffsetLeft))
        return rc;
    put_i16(line, pline::kOffsetLeft, block.I16(pblock::kOffsetLeft));
    if (uint16_t rc = CheckOffset(block, pblock::kOffsetRight, zerr::kPOffsetRight))
        return rc;
    put_i16(line, pline::kOffsetRight, block.I16(pblock::kOffsetRight));
    return 0;
}

}  // namespace

uint16_t accessPList(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kPLastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadPLine(block, PListe->GetLine(block.Line()));
        return 0;
    case 1:
        return WritePLine(block);
    case 5:
        PListe->InitLine(block.Line());
        return 0;
    default:
        return 0;
    }
}
