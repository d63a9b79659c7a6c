#include "kernel/listaccess/alistaccess.h"

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"

namespace {

void ReadALine(ProgramCommandBlock& block, const uint8_t* line)
{
    block.SetU16(ablock::kListNumber, get_u16(line, aline::kListNumber));
    block.SetU8(ablock::kLowerValue, line[aline::kLowerValue]);
    block.SetU8(ablock::kLowerPulse, line[aline::kLowerPulse]);
    block.SetU8(ablock::kLowerPressure, line[aline::kLowerPressure]);
    block.SetU8(ablock::kLowerOption, line[aline::kLowerOption]);
    block.SetU8(ablock::kUpperValue, line[aline::kUpperValue]);
    block.SetU8(ablock::kUpperPressure, line[aline::kUpperPressure]);
    block.SetU16(ablock::kNeedleCount1, get_u16(line, aline::kNeedleCount1));
    block.SetU8(ablock::kRelativeValue1, line[aline::kRelativeValue1]);
    block.SetU8(ablock::kRelativePulse1, line[aline::kRelativePulse1]);
    block.SetU16(ablock::kNeedleCount2, get_u16(line, aline::kNeedleCount2));
    block.SetU8(ablock::kRelativeValue2, line[aline::kRelativeValue2]);
    block.SetU8(ablock::kRelativePulse2, line[aline::kRelativePulse2]);
}

uint16_t CheckALine(const ProgramCommandBlock& block)
{
    const uint16_t count1 = block.U16(ablock::kNeedleCount1);
    const uint16_t count2 = block.U16(ablock::kNeedleCount2);
    const int8_t pulse = static_cast<int8_t>(block.U8(ablock::kLowerPulse));
    const uint16_t checks[] = {
        CheckRange(block.U8(ablock::kLowerValue), 0, 101, zerr::kALowerValue),
        pulse == kAPulseUnset ? uint16_t{0} : CheckRange(pulse, -100, 101, zerr::kALowerPulse),
        CheckRange(block.U8(ablock::kLowerPressure), 0, 103, zerr::kALowerPressure),
        CheckRange(block.U8(ablock::kUpperValue), 0, 101, zerr::kAUpperValue),
        CheckRange(block.U8(ablock::kUpperPressure), 0, 103, zerr::kAUpperPressure),
        CheckRange(count1, 0, 10000, zerr::kANeedleCount),
        CheckRange(block.U8(ablock::kRelativeValue1), 0, 100, zerr::kARelativeValue),
        // A needle count of 10000 switches the relative take-down off: the
        // fields that depend on it are not looked at.
        count1 == kANeedleCountUnused ? uint16_t{0}
                                      : CheckRange(block.U8(ablock::kRelativePulse1), 0, 100, zerr::kARelativePulse),
        count1 == kANeedleCountUnused ? uint16_t{0} : CheckRange(count2, 0, 10000, zerr::kANeedleCount),
        CheckRange(block.U8(ablock::kRelativeValue2), 0, 100, zerr::kARelativeValue),
        count2 == kANeedleCountUnused ? uint16_t{0}
                                      : CheckRange(block.U8(ablock::kRelativePulse2), 0, 100, zerr::kARelativePulse),
    };
    for (uint16_t rc : checks)
        if (rc)
            return rc;
    return 0;
}

uint16_t WriteALine(const ProgramCommandBlock& block)
{
    // Nothing is stored unless every field passes.
    if (uint16_t rc = CheckALine(block))
        return rc;
    uint8_t* line = AListe->GetLine(block.Line());
    put_u16(line, aline::kListNumber, block.U16(ablock::kListNumber));
    line[aline::kLowerValue] = block.U8(ablock::kLowerValue);
    line[aline::kLowerPulse] = block.U8(ablock::kLowerPulse);
    line[aline::kLowerPressure] = block.U8(ablock::kLowerPressure);
    line[aline::kLowerOption] = block.U8(ablock::kLowerOption);
    line[aline::kUpperValue] = block.U8(ablock::kUpperValue);
    line[aline::kUpperPressure] = block.U8(ablock::kUpperPressure);
    put_u16(line, aline::kNeedleCount1, block.U16(ablock::kNeedleCount1));
    line[aline::kRelativeValue1] = block.U8(ablock::kRelativeValue1);
    line[aline::kRelativePulse1] = block.U8(ablock::kRelativePulse1);
    put_u16(line, aline::kNeedleCount2, block.U16(ablock::kNeedleCount2));
    line[aline::kRelativeValue2] = block.U8(ablock::kRelativeValue2);
    line[aline::kRelativePulse2] = block.U8(ablock::kRelativePulse2);
    return 0;
}

}  // namespace

uint16_t accessAList(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kALastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadALine(block, AListe->GetLine(block.Line()));
        return 0;
    case 1:
        return WriteALine(block);
    case 5:
        AListe->InitLine(block.Line());
        return 0;
    default:
        return 0;
    }
}
