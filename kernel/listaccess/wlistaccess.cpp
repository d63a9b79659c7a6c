#include "kernel/listaccess/wlistaccess.h"

#include "kernel/dispatch/errorcodes.h"
#include "kernel/dispatch/kernelroutines.h"
#include "kernel/listaccess/listaccess.h"
#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"

namespace {

int CurrentLevel()
{
    return UsableSelectorLevel(ZrVar.Level);
}

void ReadWLine(ProgramCommandBlock& block, const uint8_t* line)
{
    if (block.Selector() == wblock::kOneLevel) {
        block.SetI16(wblock::kValues, get_i16(line, wline::Value(CurrentLevel())));
        return;
    }
    for (int level = 1; level <= kSelectorLevels; ++level)
        block.SetI16(wblock::kValues + 2 * size_t(level - 1), get_i16(line, wline::Value(level)));
}

uint16_t WriteWLine(const ProgramCommandBlock& block)
{
    uint8_t* line = WListe->GetLine(block.Line());
    if (block.Selector() == wblock::kOneLevel) {
        const int16_t value = block.I16(wblock::kValues);
        if (uint16_t rc = CheckRange(value, -9999, 9999, zerr::kBadValue))
            return rc;
        put_i16(line, wline::Value(CurrentLevel()), value);
        return 0;
    }
    // Values are stored one by one as they pass; the first failure ends the write.
    for (int level = 1; level <= kSelectorLevels; ++level) {
        const int16_t value = block.I16(wblock::kValues + 2 * size_t(level - 1));
        if (uint16_t rc = CheckRange(value, -9999, 9999, zerr::kBadValue))
            return rc;
        put_i16(line, wline::Value(level), value);
    }
    return 0;
}

}  // namespace

uint16_t accessWList(ProgramCommandBlock& block, uint8_t sub)
{
    if (uint16_t rc = CheckRange(block.Line(), 1, kWLastLine, zerr::kBadListNumber))
        return rc;
    switch (sub) {
    case 0:
        ReadWLine(block, WListe->GetLine(block.Line()));
        return 0;
    case 1:
        return WriteWLine(block);
    case 5:
        WListe->InitLine(block.Line());
        return 0;
    default:
        return 0;
    }
}
