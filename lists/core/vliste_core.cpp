#include "lists/core/vliste_core.h"

#include <algorithm>

#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr int kMaxRacking = 28;
constexpr int kComment = 13;

std::string Signed(int16_t value)
{
    return F_SignedZeroPadNum(value, 3);
}
int16_t SignedValue(const std::optional<std::string>& letter, int32_t value)
{
    return static_cast<int16_t>(letter && *letter == "-" ? -value : value);
}
}  // namespace

VListeCore::VListeCore(ListWindowHost& host) : ListEditorCore(host, []() -> T_ListenVar& { return *VListe; }, 'V', clipboard)
{
    Begin("V_Liste", "Versatz");
    Column("Liste Nummer", "8888");
    Column("Hauptversatz", "R88");
    Column("Umhängeversatz", "U2");
    Column("Korrekturwert links (-25 - +25)", "+88");
    Column("Korrekturwert rechts (-25 - +25)", "+88");
    Column("Dehnung (0 - 250)", "888");
    Column("Versatzgeschwindigkeit (0 - 100)", "888");
    Column("Verlauf", "8");
    Column("Jacquardversatz", "X");
    Column("Kommentar", "Kommentar Kommentar");
    const std::string verlauf = F_TRANS("1 = So schnell wie notwendig") + "||1|" + F_TRANS("2 = Konstant") + "||2|" +
                                F_TRANS("3 = Langer Versatzweg") + "||3|";
    DefineField(Nr, 1, "", 9999, 4);
    DefineField(Haupt, 2, "RL", kMaxRacking, 3);
    DefineField(Umhaenge, 4, " || |G||G|U1||U1|U2||U2|UH||UH|", 0, 0, "01111");
    DefineField(KorrekturLinks, 2, "+-", 25, 3);
    DefineField(KorrekturRechts, 2, "+-", 25, 3);
    DefineField(Dehnung, 1, "", 250, 3);
    DefineField(Geschwindigkeit, 1, "", 100, 3);
    DefineField(Verlauf, 4, verlauf, 0, 0);
    DefineField(Jacquard, 4, " || |X||X|", 0, 0);
    DefineField(Kommentar, 7, "", 0, 80);
    End(Nr, Kommentar, kComment);
}

int VListeCore::MaxMainRacking()
{
    return std::min<int>(ProgrammKopf.MaxRacking(), kMaxRacking);
}

void VListeCore::UpdateFieldLimits()
{
    Field(Haupt).maximum = MaxMainRacking();
}

void VListeCore::ShowFields(int row, int line)
{
    const uint8_t* p = Peek(line);
    SetText(row, Nr, F_ZeroPadNum(line, 4));
    if (p[0] == 0) {
        UnlockFields(row, {Haupt});
        LockAllBut(row, {Nr, Haupt});
        SetText(row, Haupt, "");
        return;
    }
    UnlockAll(row);
    SetText(row, Haupt, std::string(p[1] ? "L" : "R") + F_ZeroPadNum(p[2], 2));
    SetEntry(row, Umhaenge, p[5] + 1u);
    SetText(row, KorrekturLinks, Signed(get_i16(p, 6)));
    SetText(row, KorrekturRechts, Signed(get_i16(p, 8)));
    SetText(row, Dehnung, F_ZeroPadNum(get_u16(p, 10), 3));
    SetText(row, Geschwindigkeit, F_ZeroPadNum(p[12], 3));
    SetEntry(row, Verlauf, p[3]);
    SetEntry(row, Jacquard, p[4]);
    SetText(row, Kommentar, CommentText(p, kComment));
}

bool VListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    switch (field) {
    case Haupt:
        if (!text || text->empty()) {
            p[0] = 0;
        } else {
            p[0] = 1;
            p[1] = *text == "L" ? 1 : 0;
            p[2] = static_cast<uint8_t>(value);
        }
        break;
    case Umhaenge:
        p[5] = static_cast<uint8_t>(std::max(0, value - 1));
        break;
    case KorrekturLinks:
        put_i16(p, 6, SignedValue(text, value));
        break;
    case KorrekturRechts:
        put_i16(p, 8, SignedValue(text, value));
        break;
    case Dehnung:
        put_u16(p, 10, static_cast<uint16_t>(value));
        break;
    case Geschwindigkeit:
        p[12] = static_cast<uint8_t>(value);
        break;
    case Verlauf:
        p[3] = static_cast<uint8_t>(value);
        break;
    case Jacquard:
        p[4] = static_cast<uint8_t>(value);
        break;
    default:
        return false;
    }
    return true;
}
