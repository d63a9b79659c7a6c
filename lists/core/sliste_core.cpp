#include "lists/core/sliste_core.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/services/services.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr int kComment = 26;

// Letter byte and u16 value of each letter field but the signed one at 4.
struct LetterField {
    int field;
    size_t letter;
    const char* letters;
};
constexpr LetterField kLetterFields[] = {{SListeCore::ZS, 0, "ZS"},
                                         {SListeCore::DW, 6, "DW"},
                                         {SListeCore::NW, 10, "NW"},
                                         {SListeCore::PlusMinusW, 14, "+-W"}};

// A line without a knitting scheme holds nothing else; an "S" line has no
// needle division.
void Normalise(uint8_t* p)
{
    if (get_u16(p, 2) == 0) {
        std::memset(p + 4, 0, 22);
        p[kComment] = 0;
    }
    if (p[0] == 1) {
        p[10] = p[14] = 0;
        put_u16(p, 12, 0);
        put_u16(p, 16, 0);
    }
}
std::string Number(int value)
{
    return value == 0 ? std::string() : F_ZeroPadNum(value, 4);
}
std::string Letter(const char* letters, uint8_t index)
{
    return std::string(1, letters[std::min<size_t>(index, std::strlen(letters) - 1)]);
}
}  // namespace

SListeCore::SListeCore(ListWindowHost& host) : ListEditorCore(host, []() -> T_ListenVar& { return *SListe; }, 'S', clipboard)
{
    Begin("S_Liste", "Schemaablauf");
    Column("Liste Nummer", "8888");
    Column("Z = Strickschema / S = Innere Schleife", "Z", false);
    Column("Strickschema / Innere Schleife", "8888");
    Column("Anzahl Strickschemen / Zeilennumern", "+", false);
    Column("Anzahl Strickschemen / Zeilennumern", "8888");
    Column("D = Wiederholzahl / W = Wahlschalter", "D", false);
    Column("Wiederholzahl / Wahlschalter", "8888");
    Column("Nadeleinteilung", "N", false);
    Column("Nadeleinteilung", "8888");
    Column("Anzahl der Nadeleinteilungen", "W", false);
    Column("Anzahl der Nadeleinteilungen", "8888");
    Column("Y-Zeile vorne: Änderung des Startwertes", "8888");
    Column("Y-Zeile vorne: Erhöhung der Y-Zeile", "+888");
    Column("Y-Zeile hinten: Änderung des Startwertes", "8888");
    Column("Y-Zeile hinten: Erhöhung der Y-Zeile", "+888");
    Column("Wert des Wahlschalters", "8888");
    Column("Kommentar", "Kommentar Kommentar");
    DefineField(Nr, 1, "", 9999, 4);
    DefineField(ZS, 3, "ZS", 9999, 4);
    DefineField(PlusMinus, 3, "+-", 9998, 4);
    DefineField(DW, 3, "DW", 9999, 4);
    DefineField(NW, 3, "NW", 9999, 4);
    DefineField(PlusMinusW, 3, "+-W", 9999, 4);
    DefineField(VorneStart, 1, "", 9999, 4);
    DefineField(VorneSchritt, 2, "+-", 999, 4);
    DefineField(HintenStart, 1, "", 9999, 4);
    DefineField(HintenSchritt, 2, "+-", 999, 4);
    DefineField(Wahl, 1, "", 9999, 4);
    DefineField(Kommentar, 7, "", 0, 80);
    End(Nr, Kommentar, kComment);
}

void SListeCore::ShowFields(int row, int line)
{
    std::vector<uint8_t> copy = Copy(line);
    uint8_t* p = copy.data();
    Normalise(p);
    UnlockAll(row);
    SetText(row, Nr, F_ZeroPadNum(line, 4));
    for (const LetterField& f : kLetterFields) {
        const uint16_t value = get_u16(p, f.letter + 2);
        SetLetter(row, f.field, value ? Letter(f.letters, p[f.letter]) : "");
        SetText(row, f.field, Number(value));
    }
    if (get_u16(p, 2) == 0) {
        LockAllBut(row, {Nr, ZS});
        return;
    }
    const int16_t count = get_i16(p, 4);
    SetLetter(row, PlusMinus, count == 0 ? "" : count < 0 ? "-" : "+");
    SetText(row, PlusMinus, Number(std::abs(count)));
    SetText(row, VorneStart, F_ZeroPadNum(get_u16(p, 18), 4));
    SetText(row, VorneSchritt, F_SignedZeroPadNum(get_i16(p, 20), 4));
    SetText(row, HintenStart, F_ZeroPadNum(get_u16(p, 22), 4));
    SetText(row, HintenSchritt, F_SignedZeroPadNum(get_i16(p, 24), 4));
    SetText(row, Kommentar, CommentText(p, kComment));
    if (p[6] == 1)
        SetText(row, Wahl, SelectorText(SelectorValue(get_u16(p, 8))));
    else
        LockFields(row, {Wahl});
    if (p[0] == 1)
        LockFields(row, {NW, PlusMinusW});
}

void SListeCore::NormaliseLine(uint8_t* p) const
{
    Normalise(p);
}

bool SListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    const std::string letter = text.value_or("");
    const auto* lettered = std::find_if(std::begin(kLetterFields), std::end(kLetterFields),
                                        [field](const LetterField& f) { return f.field == field; });
    if (lettered != std::end(kLetterFields)) {
        const size_t index = std::string(lettered->letters).find(letter);
        p[lettered->letter] = value < 1 || index == std::string::npos ? 0 : static_cast<uint8_t>(index);
        put_u16(p, lettered->letter + 2, static_cast<uint16_t>(std::max(0, value)));
    } else if (field == PlusMinus) {
        put_i16(p, 4, static_cast<int16_t>(value < 1 ? 0 : letter == "-" ? -value : value));
    } else if (field == VorneStart || field == HintenStart) {
        put_u16(p, field == VorneStart ? 18 : 22, static_cast<uint16_t>(value));
    } else if (field == VorneSchritt || field == HintenSchritt) {
        put_i16(p, field == VorneSchritt ? 20 : 24, static_cast<int16_t>(letter == "-" ? -value : value));
    } else if (field == Wahl) {
        if (p[6] == 1)
            StoreSelectorValue(get_u16(p, 8), value);
    } else {
        return false;
    }
    Normalise(p);
    return true;
}

// The selector, knitting scheme and needle division editors follow the line.
void SListeCore::OpenLinkedList(int line, int field)
{
    (void)field;
    const uint8_t* p = Peek(line);
    const int level = SelectorLevel();
    Jump("W_Liste", p[6] == 1 ? get_u16(p, 8) : 0, level);
    Jump("Z_Liste", p[0] == 0 ? get_u16(p, 2) : 0, 65535);
    const uint16_t nwLine = get_u16(p, 12);
    const int division = p[10] == 1 ? SelectorValue(nwLine) : nwLine;
    const uint16_t countValue = get_u16(p, 16);
    const int count = p[14] == 2 ? SelectorValue(countValue) : p[14] == 1 ? -countValue : countValue;
    Jump("N_Liste", std::max(1, division + count), 65535);
    Jump("N_Liste", division, 65535);
}
