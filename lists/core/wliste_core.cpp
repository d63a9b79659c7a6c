#include "lists/core/wliste_core.h"

#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/bytes.h"
#include "kernel/services/services.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr int kComment = 16;

size_t LevelOffset(int field)
{
    return static_cast<size_t>(2 * (field - WListeCore::Level1));
}
}  // namespace

WListeCore::WListeCore(ListWindowHost& host) : ListEditorCore(host, []() -> T_ListenVar& { return *WListe; }, 'W', clipboard)
{
    Begin("W_Liste", "Wahlschalter");
    Column("Liste Nummer", "8888");
    for (int level = 1; level <= kSelectorLevels; ++level)
        Column("Wert Wahlschalterebene " + std::to_string(level), "8888");
    Column("Kommentar", "Kommentar Kommentar");
    DefineField(Nr, 1, "", 9999, 4);
    for (int level = 1; level <= kSelectorLevels; ++level)
        DefineField(Level1 + level - 1, 1, "", 9999, 4);
    DefineField(Kommentar, 7, "", 0, 80);
    End(Nr);
}

void WListeCore::ShowLine(int row, int line, int record)
{
    (void)record;
    SetLineCount(List().Count());
    const uint8_t* p = Peek(line);
    SetCode(row, "W");
    SetText(row, Nr, F_ZeroPadNum(line, 4));
    for (int f = Level1; f < Kommentar; ++f)
        SetText(row, f, SelectorText(get_i16(p, LevelOffset(f))));
    SetText(row, Kommentar, CommentText(p, kComment));
}

std::optional<std::string> WListeCore::StoreCell(int field, int row, int32_t value,
                                                 const std::optional<std::string>& text, int record, int line)
{
    if (field == Nr)
        return std::nullopt;
    uint8_t* p = LineForStore(line);
    if (!p)
        return std::nullopt;
    if (field == Kommentar)
        StoreComment(p, kComment, text.value_or(""));
    else
        put_i16(p, LevelOffset(field), static_cast<int16_t>(value));
    return Reshow(field, row, line, record);
}

void WListeCore::SetCellColour(int row, int field, uint32_t rgb)
{
    if (field >= 1 && field <= kSelectorLevels && Grid().Contains(row, Field(Level1 + field - 1).column))
        FieldCell(row, Level1 + field - 1).background = rgb;
}
