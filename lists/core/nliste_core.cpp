#include "lists/core/nliste_core.h"

#include <cstdlib>

#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/services/services.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr int kComment = 10;
constexpr int kMaxNeedle = 2000;

// A line without a start value holds nothing else.
void ClearUnused(uint8_t* p)
{
    if (get_u16(p, 2) != 0)
        return;
    put_i16(p, 4, 0);
    p[6] = 0;
    put_u16(p, 8, 0);
    p[kComment] = 0;
}
std::string Number(int value)
{
    return value == 0 ? std::string() : F_ZeroPadNum(value, 4);
}
}  // namespace

NListeCore::NListeCore(ListWindowHost& host) : ListEditorCore(host, []() -> T_ListenVar& { return *NListe; }, 'N', clipboard)
{
    Begin("N_Liste", "Nadeleinteilung");
    Column("Liste Nummer", "8888");
    Column("X = Startnadel / N = Innere Schleife", "X", false);
    Column("Startnadel / Innere Schleife", "8888");
    Column("Anzahl der Spalten / Zeilennumern", "+", false);
    Column("Anzahl der Spalten / Zeilennumern", "8888");
    Column("D = Wiederholzahl / W = Wahlschalter", "D", false);
    Column("Wiederholzahl / Wahlschalter", "8888");
    Column("Wert des Wahlschalters", "8888");
    Column("Kommentar", "Kommentar Kommentar");
    DefineField(Nr, 1, "", 9999, 4);
    DefineField(XN, 3, "XN", kMaxNeedle, 4);
    DefineField(PlusMinus, 3, "+-", 1999, 4);
    DefineField(DW, 3, "DW", 9999, 4);
    DefineField(Wahl, 1, "", 9999, 4);
    DefineField(Kommentar, 7, "", 0, 80);
    End(Nr, Kommentar, kComment);
}

void NListeCore::ShowFields(int row, int line)
{
    const uint8_t* p = Peek(line);
    UnlockAll(row);
    SetText(row, Nr, F_ZeroPadNum(line, 4));
    const uint16_t start = get_u16(p, 2);
    SetLetter(row, XN, start ? (p[0] ? "N" : "X") : "");
    SetText(row, XN, Number(start));
    if (start == 0) {
        LockAllBut(row, {Nr, XN});
        return;
    }
    const int16_t count = get_i16(p, 4);
    SetLetter(row, PlusMinus, count == 0 ? "" : count < 0 ? "-" : "+");
    SetText(row, PlusMinus, Number(std::abs(count)));
    const uint16_t value = get_u16(p, 8);
    SetLetter(row, DW, value ? (p[6] ? "W" : "D") : "");
    SetText(row, DW, Number(value));
    if (p[6] == 1)
        SetText(row, Wahl, SelectorText(SelectorValue(value)));
    else
        LockFields(row, {Wahl});
    SetText(row, Kommentar, CommentText(p, kComment));
}

void NListeCore::NormaliseLine(uint8_t* p) const
{
    ClearUnused(p);
}

bool NListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    const std::string letter = text.value_or("");
    switch (field) {
    case XN:
        if (letter != "N" && value > kMaxNeedle)
            break;
        p[0] = value < 1 ? 0 : letter == "N" ? 1 : 0;
        put_u16(p, 2, static_cast<uint16_t>(value < 1 ? 0 : value));
        ClearUnused(p);
        break;
    case PlusMinus:
        put_i16(p, 4, static_cast<int16_t>(value < 1 ? 0 : letter == "-" ? -value : value));
        break;
    case DW:
        if (letter != "W" && value > kMaxNeedle)
            break;
        p[6] = value < 1 ? 0 : letter == "W" ? 1 : 0;
        put_u16(p, 8, static_cast<uint16_t>(value < 1 ? 0 : value));
        break;
    case Wahl:
        if (p[6] == 1)
            StoreSelectorValue(get_u16(p, 8), value);
        break;
    default:
        return false;
    }
    return true;
}

void NListeCore::OpenLinkedList(int line, int field)
{
    (void)field;
    const uint8_t* p = Peek(line);
    Jump("W_Liste", p[6] == 1 ? get_u16(p, 8) : 0, SelectorLevel());
}
