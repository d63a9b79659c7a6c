#include "tests/tools/test_liste/test_liste_core.h"

#include <algorithm>

#include "kernel/model/bytes.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"
#include "platform/codepage.h"

namespace {
constexpr int kCommentSize = 80;

std::string Letter(uint8_t code)
{
    return code ? Cp1252ToUtf8(std::string(1, static_cast<char>(code))) : std::string();
}
}  // namespace

TestListeCore::TestListeCore(ListWindowHost& host) : ListWindowCore(host)
{
    SetCaption("Testliste");
    SetMargins(10, 10, 6);
    SetFormKey("T_Liste");
    SetRows(1);
    SetLineCount(0);
    SetLineCount(SListe ? SListe->Count() : 0);
    CreateCells(0);
    auto column = [this](const std::string& caption, const std::string& widthMask, bool field) {
        return DefineColumn(MaskColumn(caption, widthMask, field));
    };
    column("T", "W", false);
    const int nr = column("Nr", "8888", true);
    const int zahl = column("Zahl", "888", true);
    const int rl = column("RL", "R88", true);
    column("X|N", "X|N", false);
    const int xn = column("XN", "8888", true);
    const int wahl = column("Wahl", "U2", true);
    const int ff = column("FF", "1+2+3", true);
    const int farbe = column("Farbe", "VO*()+/^<>", true);
    const int leer = column("Leer", "888", true);
    const int kommentar = column("Kommentar", "Kommentar Kommentar", true);
    const std::string symbols = ZrVar.Symbols.substr(0, 30);
    auto field = [this](int number, int kind, std::string characters, std::string mask,
                        int maximum, int digits) {
        EditFieldDef def;
        def.field = number;
        def.kind = kind;
        def.characters = std::move(characters);
        def.mask = std::move(mask);
        def.maximum = maximum;
        def.digits = digits;
        DefineEditField(def);
    };
    field(nr, 1, "", "", 9999, 4);
    field(zahl, 1, "", "", 250, 3);
    field(rl, 2, "RL", "", 28, 3);
    field(xn, 3, "XN", "", 2000, 4);
    field(wahl, 4, " || |G||G|U1||U1|U2||U2|", "0111", 0, 0);
    field(ff, 5, "FF 1||1|FF 2||2|FF 3||3|", "+", 0, 0);
    field(farbe, 6, symbols, "", 0, 30);
    field(leer, 9, "", "", 100, 3);
    field(kommentar, 7, "", "", 0, kCommentSize);
    FinishLayout(nr, nr, true);
}

void TestListeCore::ShowLine(int row, int line, int record)
{
    (void)record;
    SetLineCount(SListe->Count());
    const uint8_t* p = SListe->PeekLine(static_cast<uint16_t>(line));
    Cell* cells = &Grid().At(row, 1);
    cells[1].text = F_ZeroPadNum(line, 4);
    cells[2].text = F_ZeroPadNum(get_u16(p, 0), 3);
    cells[3].text = p[2] ? Letter(p[2]) + F_ZeroPadNum(get_u16(p, 4), 2) : std::string();
    cells[4].text = Letter(p[6]);
    cells[5].text = F_ZeroPadNum(get_u16(p, 8), 4);
    Grid().SetLongTag(row, 7, p[10]);
    Grid().SetLongTag(row, 8, p[11]);
    Grid().SetLongTag(row, 9, get_u32(p, 12));
    const uint16_t leer = get_u16(p, 16);
    cells[9].text = leer == 65535 ? std::string() : F_ZeroPadNum(leer, 3);
    const size_t length = std::min<size_t>(p[26], kCommentSize);
    cells[10].text = Cp1252ToUtf8(std::string(reinterpret_cast<const char*>(p + 27), length));
}

std::optional<std::string> TestListeCore::StoreCell(int field, int row, int32_t value,
                                                    const std::optional<std::string>& text,
                                                    int record, int line)
{
    if (OnStore)
        OnStore(field, row, value, text, line);
    if (field == 1)
        return std::nullopt;
    uint8_t* p = SListe->GetLine(static_cast<uint16_t>(line));
    const std::string letter = text ? Utf8ToCp1252(*text) : std::string();
    const uint8_t code = letter.empty() ? 0 : static_cast<uint8_t>(letter[0]);
    switch (field) {
    case 2:
        put_u16(p, 0, static_cast<uint16_t>(value));
        break;
    case 3:
        p[2] = code == ' ' ? 0 : code;
        put_u16(p, 4, static_cast<uint16_t>(value));
        break;
    case 4:
        p[6] = code;
        put_u16(p, 8, static_cast<uint16_t>(value));
        break;
    case 5:
        p[10] = static_cast<uint8_t>(value);
        break;
    case 6:
        p[11] = static_cast<uint8_t>(value);
        break;
    case 7:
        put_u32(p, 12, static_cast<uint32_t>(value));
        break;
    case 8:
        put_u16(p, 16, value < 0 ? 65535 : static_cast<uint16_t>(value));
        break;
    case 9: {
        const size_t length = std::min<size_t>(letter.size(), kCommentSize);
        p[26] = static_cast<uint8_t>(length);
        std::copy_n(letter.begin(), length, p + 27);
        break;
    }
    default:
        return std::nullopt;
    }
    ShowLine(row, line, record);
    if (field == 9)
        return text;
    return std::nullopt;
}
