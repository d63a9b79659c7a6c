#include "kernel/listaccess/vlistaccess.h"

#include <cstdlib>

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"

namespace {

void ReadVLine(ProgramCommandBlock& block, const uint8_t* line)
{
    if (line[vline::kInUse] == 0) {
        // Never written: no racking, and nothing else to report.
        block.SetU8(vblock::kRacking, static_cast<uint8_t>(kVRackingUnset));
        for (size_t off = vblock::kTransfer; off <= vblock::kSpeed; ++off)
            block.SetU8(off, 0);
        return;
    }
    const int amount = line[vline::kAmount];
    block.SetU8(vblock::kRacking, static_cast<uint8_t>(line[vline::kDirection] ? -amount : amount));
    block.SetU8(vblock::kTransfer, line[vline::kTransfer]);
    block.SetU8(vblock::kFlag, line[vline::kFlag]);
    block.SetU8(vblock::kCourse, static_cast<uint8_t>(line[vline::kCourse] + 1));
    block.SetU8(vblock::kCorrectionLeft, static_cast<uint8_t>(get_i16(line, vline::kCorrectionLeft)));
    block.SetU8(vblock::kCorrectionRight, static_cast<uint8_t>(get_i16(line, vline::kCorrectionRight)));
    block.SetU8(vblock::kStretch, static_cast<uint8_t>(get_u16(line, vline::kStretch)));
    block.SetU8(vblock::kSpeed, line[vline::kSpeed]);
}

int8_t I8(const ProgramCommandBlock& block, size_t off)
{
    return static_cast<int8_t>(block.U8(off));
}

uint16_t CheckVLine(const ProgramCommandBlock& block)
{
    const uint16_t checks[] = {
        CheckRange(std::abs(I8(block, vblock::kRacking)), 0, 28, zerr::kVRackingStep),
        CheckRange(block.U8(vblock::kCourse), 0, 3, zerr::kVCourse),
        CheckRange(block.U8(vblock::kTransfer), 0, 3, zerr::kVTransferRacking),
        CheckRange(I8(block, vblock::kCorrectionLeft), -100, 100, zerr::kVCorrection),
        CheckRange(I8(block, vblock::kCorrectionRight), -100, 100, zerr::kVCorrection),
        CheckRange(block.U8(vblock::kStretch), 0, 255, zerr::kVStretch),
        CheckRange(block.U8(vblock::kSpeed), 0, 100, zerr::kVSpeed),
    };
    for (uint16_t rc : checks)
        if (rc)
            return rc;
    return 0;
}

uint16_t WriteVLine(const ProgramCommandBlock& block)
{
    if (uint16_t rc = CheckVLine(block))
        return rc;
    uint8_t* line = VListe->GetLine(block.Line());
    const int racking = I8(block, vblock::kRacking);
    const uint8_t course = block.U8(vblock::kCourse);
    line[vline::kInUse] = 1;
    line[vline::kDirection] = racking < 0 ? 1 : 0;
    line[vline::kAmount] = static_cast<uint8_t>(std::abs(racking));
    // The block counts courses from 1; 0 means the first.
    line[vline::kCourse] = course == 0 ? 0 : static_cast<uint8_t>(course - 1);
    line[vline::kFlag] = block.U8(vblock::kFlag);
    line[vline::kTransfer] = block.U8(vblock::kTransfer);
    put_i16(line, vline::kCorrectionLeft, I8(block, vblock::kCorrectionLeft));
    put_i16(line, vline::kCorrectionRight, I8(block, vblock::kCorrectionRight));
    put_u16(line, vline::kStretch, block.U8(vblock::kStretch));
    line[vline::kSpeed] = block.U8(vblock::kSpeed);
    return 0;
}

}  // namespace

uint16_t accessVList(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kVLastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadVLine(block, VListe->GetLine(block.Line()));
        return 0;
    case 1:
        return WriteVLine(block);
    case 5:
        VListe->InitLine(block.Line());
        return 0;
    default:
        return 0;
    }
}
