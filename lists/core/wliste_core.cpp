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
    End(Nr, Kommentar, kComment);
}

void WListeCore::ShowFields(int row, int line)
{
    const uint8_t* p = Peek(line);
    SetText(row, Nr, F_ZeroPadNum(line, 4));
    for (int f = Level1; f < Kommentar; ++f)
        SetText(row, f, SelectorText(get_i16(p, LevelOffset(f))));
    SetText(row, Kommentar, CommentText(p, kComment));
}

bool WListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    (void)text;
    if (field < Level1 || field >= Kommentar)
        return false;
    put_i16(p, LevelOffset(field), static_cast<int16_t>(value));
    return true;
}

void WListeCore::SetCellColour(int row, int field, uint32_t rgb)
{
    if (field >= 1 && field <= kSelectorLevels && Grid().Contains(row, Field(Level1 + field - 1).column))
        FieldCell(row, Level1 + field - 1).background = rgb;
}
