#include "kernel/listaccess/setupaccess.h"

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/colourset.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"

namespace {

using RS = T_RuestSchema;

uint8_t* Record()
{
    return RuestSchema.data();
}

// The level that indexes the per-level settings (byte 0 of the record).
int RecordLevel()
{
    return UsableSelectorLevel(Record()[RS::kLevel]);
}

void ResetRecord()
{
    RuestSchema.clear();
    put_u16(Record(), RS::kFfMin, ZrVar.FfMinDefault);
    put_u16(Record(), RS::kFfMax, ZrVar.FfMaxDefault);
    Record()[RS::kFfDis] = ZrVar.FfDisDefault;
}

bool IsCarrier(int n)
{
    return n >= 1 && n <= 8;
}

// Rail 1..8 and box "A".."H" as record indices (rail, box 0..7); false for
// anything else.
bool CarrierPlace(const ProgramCommandBlock& block, int& rail, int& box)
{
    rail = block.U8(carrierblock::kRail);
    box = block.U8(carrierblock::kBox) - 'A';
    return IsCarrier(rail) && box >= 0 && box <= 7;
}

// Trailing blanks and control characters are cut away.
std::string TrimRight(std::string text)
{
    while (!text.empty() && static_cast<uint8_t>(text.back()) < 33)
        text.pop_back();
    return text;
}

// ---------------------------------------------------------------------------
// List 10

void ReadCarrierSetting(ProgramCommandBlock& block)
{
    const uint8_t* rec = Record();
    switch (block.Selector()) {
    case carriersel::kFfMin:
        block.SetU16(10, get_u16(rec, RS::kFfMin));
        break;
    case carriersel::kFfMax:
        block.SetU16(10, get_u16(rec, RS::kFfMax));
        break;
    case carriersel::kFfDis:
        block.SetU8(9, rec[RS::kFfDis]);
        break;
    case carriersel::kExchange: {
        const int carrier = block.U8(9);
        block.SetU8(10, IsCarrier(carrier) ? rec[RS::Exchange(carrier)] : 0);
        break;
    }
    case carriersel::kCarrier: {
        int rail = 0;
        int box = 0;
        if (!CarrierPlace(block, rail, box)) {
            // No such carrier: reported as not set.
            block.SetSelector(0);
            break;
        }
        const bool intarsia = rec[RS::CarrierType(rail, box)] == 1;
        block.SetU8(carrierblock::kType, intarsia ? 'I' : 'N');
        block.SetU8(carrierblock::kAttribute, intarsia ? 2 : 1);
        for (int k = 0; k < 8; ++k) {
            block.SetI16(carrierblock::kValues1 + 2 * size_t(k), get_i16(rec, RS::CarrierSet1(k, rail, box)));
            block.SetI16(carrierblock::kValues2 + 2 * size_t(k), get_i16(rec, RS::CarrierSet2(k, rail, box)));
        }
        break;
    }
    case carriersel::kComment:
        block.SetText(ReadShortString(rec, RS::kComment, kSetupCommentCap), 9, kSetupCommentCap);
        break;
    default:
        break;
    }
}

uint16_t WriteCarrier(const ProgramCommandBlock& block)
{
    int rail = 0;
    int box = 0;
    if (!CarrierPlace(block, rail, box))
        return zerr::kCarrierNumber;
    const uint8_t attribute = block.U8(carrierblock::kAttribute);
    if (uint16_t rc = CheckRange(attribute, 0, 31, zerr::kCarrierType))
        return rc;
    for (int k = 0; k < 8; ++k) {
        const size_t off = carrierblock::kValues1 + 2 * size_t(k);
        if (block.U16(off) == kCarrierValueUnset)
            continue;
        if (uint16_t rc = CheckRange(block.I16(off), -999, 999, zerr::kCarrierOffset))
            return rc;
    }
    const uint8_t type = block.U8(carrierblock::kType);
    if (type != ' ' && type != 'I' && type != 'N')
        return zerr::kCarrierType;

    // Every check passed: only now is anything of the carrier stored.
    uint8_t* rec = Record();
    rec[RS::CarrierType(rail, box)] = type == 'I' ? 1 : 0;
    rec[RS::CarrierAttr(rail, box)] = attribute;
    for (int k = 0; k < 8; ++k)
        put_i16(rec, RS::CarrierSet1(k, rail, box), block.I16(carrierblock::kValues1 + 2 * size_t(k)));
    return 0;
}

uint16_t WriteCarrierSetting(const ProgramCommandBlock& block)
{
    uint8_t* rec = Record();
    switch (block.Selector()) {
    case carriersel::kFfMin:
        if (uint16_t rc = CheckRange(block.I16(10), 1, 9999, zerr::kCarrierMinDistance))
            return rc;
        put_u16(rec, RS::kFfMin, block.U16(10));
        return 0;
    case carriersel::kFfMax:
        if (uint16_t rc = CheckRange(block.I16(10), 1, 9999, zerr::kCarrierMaxDistance))
            return rc;
        put_u16(rec, RS::kFfMax, block.U16(10));
        return 0;
    case carriersel::kFfDis:
        if (uint16_t rc = CheckRange(block.U8(9), 1, 255, zerr::kCarrierDistance))
            return rc;
        rec[RS::kFfDis] = block.U8(9);
        return 0;
    case carriersel::kExchange: {
        // A carrier replaced by itself is no exchange: nothing is written.
        const uint8_t carrier = block.U8(9);
        const uint8_t replacement = block.U8(10);
        if (carrier == replacement)
            return 0;
        if (!IsCarrier(carrier) || !IsCarrier(replacement))
            return zerr::kCarrierNumber;
        rec[RS::Exchange(carrier)] = replacement;
        return 0;
    }
    case carriersel::kCarrier:
        return WriteCarrier(block);
    case carriersel::kComment:
        WriteShortString(rec, RS::kComment, kSetupCommentCap, TrimRight(block.Text(9)));
        return 0;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------
// List 12

void ReadMachineSetting(ProgramCommandBlock& block)
{
    uint8_t* rec = Record();
    const int we = RecordLevel();
    switch (block.Selector()) {
    case machinesel::kNeedleRoom:
        block.SetU16(10, get_u16(rec, RS::RoomStart(block.Line(), we)));
        block.SetU16(12, get_u16(rec, RS::RoomEnd(block.Line(), we)));
        break;
    case machinesel::kTakeDown:
        block.SetU8(9, rec[RS::TakeDown(we)]);
        break;
    case machinesel::kPieceCount:
        block.SetU16(10, get_u16(rec, RS::PieceCount(we)));
        break;
    case machinesel::kLengthLimit:
        block.SetU16(10, get_u16(rec, RS::LengthLimit(we)));
        break;
    case machinesel::kLevel:
        block.SetU8(9, static_cast<uint8_t>(we));
        ZrVar.Level = static_cast<uint8_t>(we);
        break;
    case machinesel::kSpeed1:
    case machinesel::kSpeed1 + 1:
    case machinesel::kSpeed3:
        block.SetU8(9, rec[RS::kSpeed + (block.Selector() - machinesel::kSpeed1)]);
        break;
    case machinesel::kReversal:
        block.SetU8(9, rec[RS::kStrokeReversal]);
        break;
    case machinesel::kBackground:
        block.SetText(ColourSetToText(get_u32(rec, RS::kBackground)), 9, kBackgroundCap);
        break;
    case machinesel::kModel:
        block.SetText(ProgrammKopf.Model(), 9);
        break;
    case machinesel::kGauge:
        block.SetU8(9, ProgrammKopf.Gauge());
        break;
    case machinesel::kComb:
        if (rec[RS::kComb] == 0)
            block.SetSelector(0);
        break;
    case machinesel::kCoupling:
        block.SetU16(10, get_u16(rec, RS::kCoupling));
        break;
    case machinesel::kClamp1:
        if (rec[RS::kClamp1] == 0)
            block.SetSelector(0);
        break;
    default:
        break;
    }
}

// A byte setting at off of the record, checked against low..high.
uint16_t WriteByte(const ProgramCommandBlock& block, size_t off, int low, int high, uint16_t code)
{
    if (uint16_t rc = CheckRange(block.U8(9), low, high, code))
        return rc;
    Record()[off] = block.U8(9);
    return 0;
}

// A u16 setting at off of the record, taken from the block's u16 at 10.
uint16_t WriteWord(const ProgramCommandBlock& block, size_t off, int low, int high, uint16_t code)
{
    if (uint16_t rc = CheckRange(block.U16(10), low, high, code))
        return rc;
    put_u16(Record(), off, block.U16(10));
    return 0;
}

uint16_t WriteMachineSetting(const ProgramCommandBlock& block)
{
    uint8_t* rec = Record();
    const int we = RecordLevel();
    switch (block.Selector()) {
    case machinesel::kNeedleRoom: {
        const uint16_t start = block.U16(10);
        const uint16_t end = block.U16(12);
        if (uint16_t rc = CheckRange(start, 0, 9999, zerr::kNeedleRoomStart))
            return rc;
        if (uint16_t rc = CheckRange(end, 0, 9999, zerr::kNeedleRoomEnd))
            return rc;
        put_u16(rec, RS::RoomStart(block.Line(), we), start);
        put_u16(rec, RS::RoomEnd(block.Line(), we), end);
        return 0;
    }
    case machinesel::kTakeDown:
        return WriteByte(block, RS::TakeDown(we), 0, 255, zerr::kSetupTakeDown);
    case machinesel::kPieceCount:
        return WriteWord(block, RS::PieceCount(we), 0, 9999, zerr::kSetupPieceCount);
    case machinesel::kLengthLimit:
        return WriteWord(block, RS::LengthLimit(we), 0, 9999, zerr::kSetupLengthLimit);
    case machinesel::kLevel:
        if (uint16_t rc = WriteByte(block, RS::kLevel, 1, kSelectorLevels, zerr::kSetupSelectorLevel))
            return rc;
        ZrVar.Level = block.U8(9);
        return 0;
    case machinesel::kSpeed1:
    case machinesel::kSpeed1 + 1:
    case machinesel::kSpeed3:
        return WriteByte(block, RS::kSpeed + (block.Selector() - machinesel::kSpeed1), 0, 255, zerr::kSetupSpeed);
    case machinesel::kReversal:
        return WriteByte(block, RS::kStrokeReversal, 0, 1, zerr::kSetupCarriageReversal);
    case machinesel::kBackground:
        put_u32(rec, RS::kBackground, TextToColourSet(block.Text(9, kBackgroundCap)));
        return 0;
    case machinesel::kModel:
        ProgrammKopf.SetModel(block.Text(9).substr(0, 3));
        return 0;
    case machinesel::kGauge:
        if (!ZrVar.GaugeSet.test(block.U8(9)))
            return zerr::kSetupGauge;
        ProgrammKopf.SetGauge(block.U8(9));
        return 0;
    case machinesel::kComb:
        rec[RS::kComb] = 1;
        return 0;
    case machinesel::kCoupling:
        return WriteWord(block, RS::kCoupling, 0, 99, zerr::kBadValue);
    case machinesel::kClamp1:
        rec[RS::kClamp1] = 1;
        return 0;
    default:
        return 0;
    }
}

uint16_t AccessCarriers(ProgramCommandBlock& block, uint8_t sub)
{
    // The line field is not looked at: the dispatcher derives it from the selector.
    switch (sub) {
    case 0:
        ReadCarrierSetting(block);
        return 0;
    case 1:
        return WriteCarrierSetting(block);
    case 5:
        // The selector level stays 0 here; per-level settings then use level 1.
        ResetRecord();
        return 0;
    default:
        return 0;
    }
}

uint16_t AccessMachine(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kMachineLastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadMachineSetting(block);
        return 0;
    case 1:
        return WriteMachineSetting(block);
    case 5:
        ResetRecord();
        Record()[RS::kLevel] = ZrVar.Level;
        if (block.Line() == 1) {
            ProgrammKopf.SetModel(ZrVar.DefaultModel);
            ProgrammKopf.SetGauge(kResetGauge);
        }
        return 0;
    default:
        return 0;
    }
}

}  // namespace

uint16_t accessSetupList(ProgramCommandBlock& block, uint8_t sub, uint8_t list)
{
    switch (list) {
    case kCarrierList:
        return AccessCarriers(block, sub);
    case kMachineList:
        return AccessMachine(block, sub);
    default:
        return 0;
    }
}
