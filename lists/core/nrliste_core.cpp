#include "lists/core/nrliste_core.h"

#include <algorithm>

#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"

namespace {
constexpr int kLines = 8;
// The line clipboard: start and end needle.
std::vector<uint8_t> clipboard;

bool InRange(int line, int level)
{
    return line >= 1 && line <= kLines && level >= 1 && level <= kSelectorLevels;
}
uint16_t StartOf(int line, int level)
{
    return get_u16(RuestSchema.data(), T_RuestSchema::RoomStart(line, level));
}
uint16_t EndOf(int line, int level)
{
    return get_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(line, level));
}
void SetRoom(int line, int level, uint16_t start, uint16_t end)
{
    put_u16(RuestSchema.data(), T_RuestSchema::RoomStart(line, level), start);
    put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(line, level), end);
}
}  // namespace

NrListeCore::NrListeCore(ListWindowHost& host) : SetupListCore(host)
{
    Begin("Nr_Liste", "Nadelraum", kLines, 2, 10, 10, 6);
    const int w = TextWidth("8888");
    AddCell("WE", -2, 0, 24, false);
    AddCell("Wahlschalterebene", -2, 0, TextWidth("8") + 8, true);
    AddCell("Nadelraum", -2, 0, TextWidth("8") + 8, true);
    AddCell("Startnadel", -2, 0, w + 8, true);
    AddCell("-", -2, 0, 12, false);
    AddCell("Bis ausschließlich Nadel", -2, 0, w + 8, true);
    Define(Ebene, 8, "", kSelectorLevels, 1);
    Define(Nadelraum, 1, "", kLines, 1);
    Define(Start, 1, "", 1080, 4);
    Define(Ende, 1, "", 1081, 4);
    SetLineExchange(4, [this](LineOp op, int record, int line, std::vector<uint8_t>& data) {
        Exchange(op, record, line, data);
    });
    SetClipboardFlag(!clipboard.empty());
    FinishLayout(Nadelraum, Ebene, true);
    SetCursorField(Nadelraum);
}

// A line without start needle has no end needle either: showing it says so
// in the record.
void NrListeCore::ShowLine(int row, int line, int record)
{
    if (!InRange(line, record))
        return;
    Grid().At(row, 1).text = "WE";
    SetText(row, Ebene, std::to_string(record));
    SetText(row, Nadelraum, std::to_string(line));
    const uint16_t start = StartOf(line, record);
    SetText(row, Start, F_NumOrEmpty(start, 4));
    if (start == 0) {
        SetRoom(line, record, 0, 0);
        LockFields(row, {Ende});
    } else {
        UnlockFields(row, {Ende});
        SetText(row, Ende, F_NumOrEmpty(EndOf(line, record), 4));
    }
}

std::optional<std::string> NrListeCore::StoreCell(int field, int row, int32_t value, const std::optional<std::string>&,
                                                  int record, int line)
{
    // The line number only leads to a line.
    if (!InRange(line, record) || field == Nadelraum)
        return std::nullopt;
    const uint16_t v = static_cast<uint16_t>(std::max(0, value));
    if (field == Start)
        SetRoom(line, record, v, v == 0 ? 0 : EndOf(line, record));
    else if (field == Ende)
        put_u16(RuestSchema.data(), T_RuestSchema::RoomEnd(line, record), v);
    ShowLine(row, line, record);
    return FieldCell(row, field).text;
}

void NrListeCore::Exchange(LineOp op, int record, int line, std::vector<uint8_t>& data)
{
    switch (op) {
    case LineOp::GetClipboard:
        data = clipboard;
        break;
    case LineOp::SetClipboard:
        clipboard = data;
        break;
    case LineOp::ReadLine:
        data.assign(4, 0);
        if (InRange(line, record)) {
            put_u16(data.data(), 0, StartOf(line, record));
            put_u16(data.data(), 2, EndOf(line, record));
        }
        break;
    case LineOp::ClearLine:
        if (InRange(line, record))
            SetRoom(line, record, 0, 0);
        break;
    case LineOp::StoreLine:
        if (InRange(line, record) && data.size() == 4)
            SetRoom(line, record, get_u16(data.data(), 0), get_u16(data.data(), 2));
        break;
    }
}
