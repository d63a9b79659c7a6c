#include "lists/core/fliste_core.h"

#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr int kComment = 16;
constexpr uint8_t kLetterW = 2;
// Letter byte and value of the left and the right carriage.
constexpr size_t kLeft = 2, kRight = 6;
}  // namespace

FListeCore::FListeCore(ListWindowHost& host) : ListEditorCore(host, []() -> T_ListenVar& { return *FListe; }, 'F', clipboard)
{
    const bool two = ProgrammKopf.ModelOption();
    Begin("F_Liste", "Festigkeit");
    Nr = Column("Liste Nummer", "8888");
    WertLinks = Column(two ? "Wert linker Schlitten" : "Wert", "D888");
    if (two)
        WertRechts = Column("Wert rechter Schlitten", "D888");
    Farbe = Column("Farbe", "VO*()+/^<>");
    WahlLinks = Column("Wert des Wahlschalters", "8888");
    if (two)
        WahlRechts = Column("Wert des Wahlschalters", "8888");
    Marker = Column("Unterlisten einfügen und löschen", "@");
    Kommentar = Column("Kommentar", "Kommentar Kommentar");
    DefineField(Nr, 1, "", 9999, 4);
    for (int f : {WertLinks, WertRechts})
        if (f)
            DefineField(f, 2, "D W", 9999, 4, "101");
    DefineField(Farbe, 6, ZrVar.Symbols.substr(0, 30), 0, 30);
    for (int f : {WahlLinks, WahlRechts})
        if (f)
            DefineField(f, 1, "", 9999, 4);
    DefineField(Marker, 0, "", 0, 0);
    DefineField(Kommentar, 7, "", 0, 80);
    LineNumberTranslation = [this](int n) { return TranslateListNumber(n); };
    End(Nr, Kommentar, kComment);
}

void FListeCore::ShowValue(int row, const uint8_t* p, int wertField, int wahlField, size_t at)
{
    const uint16_t value = get_u16(p, at + 2);
    const bool w = p[at] == kLetterW;
    SetText(row, wertField, value == 0 && p[at] == 0 ? std::string()
                                                     : std::string(w ? "W" : "D") + F_ZeroPadNum(value, 3));
    if (w)
        SetText(row, wahlField, SelectorText(SelectorValue(value)));
    else
        LockFields(row, {wahlField});
}

void FListeCore::ShowFields(int row, int line)
{
    const uint8_t* p = Peek(line);
    const uint16_t number = get_u16(p, 0);
    UnlockAll(row);
    SetText(row, Nr, F_NumOrEmpty(number, 4));
    ShowValue(row, p, WertLinks, WahlLinks, kLeft);
    if (WertRechts)
        ShowValue(row, p, WertRechts, WahlRechts, kRight);
    SetText(row, Marker, "@");
    SetText(row, Kommentar, CommentText(p, kComment));
    // The colour set belongs to the continuation lines, the number to the
    // opening line.
    if (number != 0) {
        LockFields(row, {Farbe});
    } else {
        SetEntry(row, Farbe, get_u32(p, 12));
        LockFields(row, {Nr});
    }
}

// The colour set belongs to the continuation lines.
void FListeCore::NormaliseLine(uint8_t* p) const
{
    if (get_u16(p, 0) != 0)
        put_u32(p, 12, 0);
}

bool FListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    if (field == WertLinks || field == WertRechts) {
        const size_t at = field == WertLinks ? kLeft : kRight;
        const bool w = text && *text == "W";
        // A D value above the gauge's limit is refused: the row keeps its values.
        if (!w && value > ProgrammKopf.MaxUnitD())
            return true;
        p[at] = value < 1 ? 0 : w ? kLetterW : 0;
        put_u16(p, at + 2, static_cast<uint16_t>(value < 1 ? 0 : value));
    } else if (field == WahlLinks || field == WahlRechts) {
        const size_t at = field == WahlLinks ? kLeft : kRight;
        if (p[at] == kLetterW)
            StoreSelectorValue(get_u16(p, at + 2), value);
    } else if (field == Farbe) {
        if (get_u16(p, 0) == 0)
            put_u32(p, 12, static_cast<uint32_t>(value));
    } else {
        return false;
    }
    return true;
}

bool FListeCore::InsertDeleteKey(int field, int row, char32_t c, int key)
{
    (void)c;
    if (field != Marker)
        return false;
    return ContinuationKey(row, key);
}

// The selector editor follows the cursor to the W line of the value under
// it, marking the current level.
void FListeCore::OpenLinkedList(int line, int field)
{
    const uint8_t* p = Peek(line);
    const bool right = WertRechts && (field == WertRechts || field == WahlRechts);
    int wLine = 0;
    if (right && p[kRight] == kLetterW)
        wLine = get_u16(p, kRight + 2);
    else if (p[kLeft] == kLetterW)
        wLine = get_u16(p, kLeft + 2);
    Jump("W_Liste", wLine, SelectorLevel());
}
