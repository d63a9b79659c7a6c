#include "lists/core/aliste_core.h"

#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr uint8_t kUnset = 101;
constexpr uint16_t kNoNeedles = 10000;
constexpr int kComment = 16;
constexpr int kInsert = 45, kDelete = 46;
const char* const kOpenClose = " || |O<>O||O<>O|O><O||O><O|";

// Byte 3 holds a signed Puls; above 101 (127) it means fast run.
int8_t Puls(const uint8_t* p)
{
    return static_cast<int8_t>(p[3]);
}
bool FastRun(const uint8_t* p)
{
    return Puls(p) > kUnset;
}
void ResetNeedleGroups(uint8_t* p)
{
    put_u16(p, 8, kNoNeedles);
    put_u16(p, 12, kNoNeedles);
    p[10] = p[11] = p[14] = p[15] = 0;
}
// What the line holds once shown: a lower take-down excludes the needle
// groups, and a comb line has no upper take-down.
void Normalise(uint8_t* p)
{
    if (p[2] != kUnset || p[3] != kUnset)
        ResetNeedleGroups(p);
    if (get_u16(p, 0) == 0)
        p[6] = p[7] = kUnset;
}
std::string Value(uint8_t v, int digits = 3)
{
    return v == kUnset ? std::string() : F_ZeroPadNum(v, digits);
}
}  // namespace

AListeCore::AListeCore(ListWindowHost& host) : ListEditorCore(host, []() -> T_ListenVar& { return *AListe; }, 'A', clipboard)
{
    const bool optional = ProgrammKopf.TakeDownColumns();
    Begin("A_Liste", "Warenabzug");
    Nr = Column("Liste Nummer", "8888");
    UnterWA = Column("Unterer Warenabzug", "888");
    UnterPuls = Column("Unterer Warenabzug Puls", "+888");
    Schnellauf = Column("Unterer Warenabzug Schnellauf", "X");
    if (optional)
        UnterOeffnen = Column("Unterer Warenabzug öffnen / schließen", "O<>O");
    OberWA = Column("Oberer Warenabzug", "+888");
    OberDruck = Column("Oberer Warenabzug Anpreßdruck", "888");
    OberOeffnen = Column("Oberer Warenabzug öffnen / schließen", "O<>O");
    MinNadel1 = Column("Minimale Nadelanzahl", "8888");
    MinWA1 = Column("Warenabzug bei minimaler Nadelanzahl", "888");
    MinPuls1 = Column("Puls bei minimaler Nadelanzahl", "888");
    MinNadel2 = Column("Minimale Nadelanzahl", "8888");
    MinWA2 = Column("Warenabzug bei minimaler Nadelanzahl", "888");
    MinPuls2 = Column("Puls bei minimaler Nadelanzahl", "888");
    if (optional)
        Kamm = Column("Warenabzug für Kamm einfügen und löschen", "@");
    Kommentar = Column("Kommentar", "Kommentar Kommentar");
    DefineField(Nr, 1, "", 9999, 4);
    DefineField(UnterWA, 9, "", 100, 3);
    DefineField(UnterPuls, 2, "+-", 100, 4);
    DefineField(Schnellauf, 4, " || |X||X|", 0, 0);
    if (optional)
        DefineField(UnterOeffnen, 4, kOpenClose, 0, 0);
    DefineField(OberWA, 2, "+-*", 100, 4);
    DefineField(OberDruck, 9, "", 100, 3);
    DefineField(OberOeffnen, 4, kOpenClose, 0, 0);
    for (int group : {MinNadel1, MinNadel2}) {
        DefineField(group, 9, "", 9999, 4);
        DefineField(group + 1, 1, "", 100, 3);
        DefineField(group + 2, 1, "", 100, 3);
    }
    if (optional)
        DefineField(Kamm, 0, "", 0, 0);
    DefineField(Kommentar, 7, "", 0, 80);
    LineNumberTranslation = [this](int n) { return TranslateListNumber(n); };
    End(Nr, Kommentar, kComment);
}

void AListeCore::ShowFields(int row, int line)
{
    std::vector<uint8_t> copy = Copy(line);
    uint8_t* p = copy.data();
    Normalise(p);
    const uint16_t number = get_u16(p, 0);
    UnlockAll(row);
    SetCode(row, number ? "A" : "K");
    SetText(row, Nr, F_NumOrEmpty(number, 4));
    SetText(row, UnterWA, Value(p[2]));
    SetText(row, UnterPuls, p[3] == kUnset || FastRun(p) ? std::string() : F_SignedZeroPadNum(Puls(p), 4));
    SetEntry(row, Schnellauf, FastRun(p) ? 1 : 0);
    if (UnterOeffnen)
        SetEntry(row, UnterOeffnen, p[4] > kUnset && p[4] <= kUnset + 2 ? p[4] - kUnset : 0);
    SetText(row, OberWA, p[6] == kUnset ? std::string() : std::string(1, "+-*"[p[5] % 3]) + F_ZeroPadNum(p[6], 3));
    SetText(row, OberDruck, p[7] > kUnset ? std::string() : Value(p[7]));
    SetEntry(row, OberOeffnen, p[7] > kUnset && p[7] <= kUnset + 2 ? p[7] - kUnset : 0);
    for (int group : {MinNadel1, MinNadel2}) {
        const int at = group == MinNadel1 ? 8 : 12;
        const uint16_t needles = get_u16(p, static_cast<size_t>(at));
        if (needles == kNoNeedles) {
            SetText(row, group, "");
            LockFields(row, {group + 1, group + 2});
        } else {
            SetText(row, group, F_ZeroPadNum(needles, 4));
            SetText(row, group + 1, F_ZeroPadNum(p[at + 2], 3));
            SetText(row, group + 2, F_ZeroPadNum(p[at + 3], 3));
        }
    }
    SetText(row, Kommentar, CommentText(p, kComment));
    if (Kamm)
        SetText(row, Kamm, "@");
    if (number == 0)
        LockFields(row, {Nr, UnterOeffnen, OberWA, OberDruck, OberOeffnen});
}

void AListeCore::NormaliseLine(uint8_t* p) const
{
    Normalise(p);
}

bool AListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    const bool empty = !text ? value < 0 : text->empty();
    if (field == UnterWA) {
        p[2] = empty ? kUnset : static_cast<uint8_t>(value);
        if (!empty)
            ResetNeedleGroups(p);
    } else if (field == UnterPuls) {
        if (empty) {
            p[3] = FastRun(p) ? p[3] : kUnset;
        } else {
            p[3] = static_cast<uint8_t>(static_cast<int8_t>(*text == "-" ? -value : value));
            ResetNeedleGroups(p);
        }
    } else if (field == Schnellauf) {
        if (value == 1)
            p[3] = 127;
        else if (FastRun(p))
            p[3] = kUnset;
        else if (Puls(p) < kUnset)
            ResetNeedleGroups(p);
    } else if (field == UnterOeffnen) {
        p[4] = value > 0 ? static_cast<uint8_t>(kUnset + value) : 0;
    } else if (field == OberWA) {
        p[5] = empty ? 0 : static_cast<uint8_t>(std::string("+-*").find(*text) % 3);
        p[6] = empty ? kUnset : static_cast<uint8_t>(value);
    } else if (field == OberDruck) {
        p[7] = empty ? kUnset : static_cast<uint8_t>(value);
    } else if (field == OberOeffnen) {
        if (value > 0)
            p[7] = static_cast<uint8_t>(kUnset + value);
    } else if (field == MinNadel1 || field == MinNadel2) {
        const size_t at = field == MinNadel1 ? 8 : 12;
        if (empty) {
            put_u16(p, at, kNoNeedles);
            p[at + 2] = p[at + 3] = 0;
        } else {
            put_u16(p, at, static_cast<uint16_t>(value));
            p[2] = p[3] = kUnset;
        }
    } else if (field == MinWA1 || field == MinPuls1 || field == MinWA2 || field == MinPuls2) {
        const size_t at = field == MinWA1 ? 10 : field == MinPuls1 ? 11 : field == MinWA2 ? 14 : 15;
        p[at] = static_cast<uint8_t>(value);
    } else {
        return false;
    }
    return true;
}

// On the comb marker: Insert adds a comb line below the last line of a
// sub-list, Delete removes a comb line.
bool AListeCore::InsertDeleteKey(int field, int row, char32_t c, int key)
{
    (void)c;
    if (!Kamm || field != Kamm || (key != kInsert && key != kDelete) || FieldCell(row, field).readOnly)
        return false;
    const int line = Grid().At(row, 1).line;
    if (key == kDelete)
        DeleteContinuation(line);
    else if (line == List().Count() || get_u16(Peek(line + 1), 0) != 0)
        InsertContinuation(line);
    return true;
}
