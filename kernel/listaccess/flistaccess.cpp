#include "kernel/listaccess/flistaccess.h"

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/colourset.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"

namespace {

void ReadFLine(ProgramCommandBlock& block, const uint8_t* line)
{
    block.SetU16(fblock::kListNumber, get_u16(line, fline::kListNumber));
    block.SetU8(fblock::kLeftMode, line[fline::kLeftMode]);
    block.SetU16(fblock::kLeftValue, get_u16(line, fline::kLeftValue));
    block.SetU8(fblock::kRightMode, line[fline::kRightMode]);
    block.SetU16(fblock::kRightValue, get_u16(line, fline::kRightValue));
    block.SetU8(fblock::kForce, 0);
    block.SetText(ColourSetToText(get_u32(line, fline::kColours)), fblock::kColours, fblock::kColoursCap);
}

// Mode 0 carries a value below 1000, modes 1 and 2 a value 1..9999.
uint16_t CheckValue(uint8_t mode, uint16_t value, uint16_t code)
{
    return mode == 0 ? CheckRange(value, 0, 999, code) : CheckRange(value, 1, 9999, code);
}

uint16_t WriteFLine(ProgramCommandBlock& block)
{
    const uint16_t lineNo = block.Line();
    const uint16_t number = block.U16(fblock::kListNumber);
    if (uint16_t rc = CheckRange(number, 0, 1999, zerr::kBadListNumber))
        return rc;
    // List number 0 continues the sub-list above: the compiler writes its
    // continuation lines by inserting them in front of the addressed line.
    if (number == 0)
        FListe->InsertLine(lineNo);
    uint8_t* line = FListe->GetLine(lineNo);
    put_u16(line, fline::kListNumber, number);

    const uint8_t leftMode = block.U8(fblock::kLeftMode);
    const uint16_t leftValue = block.U16(fblock::kLeftValue);
    const uint8_t rightMode = block.U8(fblock::kRightMode);
    const uint16_t rightValue = block.U16(fblock::kRightValue);
    const std::string colours = block.Text(fblock::kColours, fblock::kColoursCap);
    // A line that only opens a sub-list keeps its other fields.
    if (leftMode == 0 && leftValue == 0 && rightMode == 0 && rightValue == 0 && block.U8(fblock::kForce) != 1 &&
        colours.empty())
        return 0;

    // Each field is stored as soon as it passes; the first failure ends the write.
    if (uint16_t rc = CheckRange(leftMode, 0, 2, zerr::kFLeftMode))
        return rc;
    line[fline::kLeftMode] = leftMode;
    if (uint16_t rc = CheckValue(leftMode, leftValue, zerr::kFLeftValue))
        return rc;
    put_u16(line, fline::kLeftValue, leftValue);
    if (uint16_t rc = CheckRange(rightMode, 0, 3, zerr::kFRightMode))
        return rc;
    line[fline::kRightMode] = rightMode == 3 ? 0 : rightMode;
    if (rightMode != 3) {
        if (uint16_t rc = CheckValue(rightMode, rightValue, zerr::kFRightValue))
            return rc;
    }
    put_u16(line, fline::kRightValue, rightValue);
    put_u32(line, fline::kColours, TextToColourSet(colours));
    return 0;
}

}  // namespace

uint16_t accessFList(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kFLastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadFLine(block, FListe->GetLine(block.Line()));
        return 0;
    case 1:
    case 2:
        return WriteFLine(block);
    case 5:
        FListe->InitLine(block.Line());
        return 0;
    default:
        return 0;
    }
}
