#include "lists/core/pliste_core.h"

#include <cstring>

#include "kernel/model/bytes.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr int kComment = 16;
constexpr uint16_t kNoOffset = 32768;

// A line without a carrier (rail 0) keeps nothing else.
void ClearCarrier(uint8_t* p)
{
    p[3] = p[4] = p[5] = 0;
    put_u32(p, 8, 0);
    put_u16(p, 12, kNoOffset);
    put_u16(p, 14, kNoOffset);
    std::memset(p + kComment, 0, 81);
}

std::string Offset(const uint8_t* p, size_t at)
{
    const uint16_t raw = get_u16(p, at);
    return raw == kNoOffset ? std::string() : F_SignedZeroPadNum(static_cast<int16_t>(raw), 4);
}
uint16_t OffsetValue(const std::optional<std::string>& letter, int32_t value)
{
    if (!letter || letter->empty())
        return kNoOffset;
    return static_cast<uint16_t>(static_cast<int16_t>(*letter == "-" ? -value : value));
}
}  // namespace

PListeCore::PListeCore(ListWindowHost& host) : ListEditorCore(host, []() -> T_ListenVar& { return *PListe; }, 'P', clipboard)
{
    Begin("P_Liste", "FF-Position");
    Column("Liste Nummer", "8888");
    Column("Ff-Schiene", "8");
    Column("Ff-Kasten", "a");
    Column("Farbe", "VO*()+/^<>");
    Column("Intarsia-Ff schwenken linke Seite", "\\");
    Column("Offset linke Seite", "+888");
    Column("Offset rechte Seite", "+888");
    Column("Intarsia-Ff schwenken rechte Seite", "/");
    Column("Unterlisten einfügen und löschen", "@");
    Column("Kommentar", "Kommentar Kommentar");
    DefineField(Nr, 1, "", 9999, 4);
    DefineField(Schiene, 1, "", 8, 1);
    DefineField(Kasten, 4, " || |a||a|b||b|c||c|d||d|e||e|f||f|g||g|h||h|", 0, 0);
    DefineField(Farbe, 6, ZrVar.Symbols.substr(0, 30), 0, 30);
    DefineField(SchwenkenLinks, 4, " || | || |I||I|\\||\\|", 0, 0, "1011");
    DefineField(OffsetLinks, 2, "-+", 999, 4);
    DefineField(OffsetRechts, 2, "+-", 999, 4);
    DefineField(SchwenkenRechts, 4, " || | || |I||I|/||/|", 0, 0, "1011");
    DefineField(Marker, 0, "", 0, 0);
    DefineField(Kommentar, 7, "", 0, 80);
    LineNumberTranslation = [this](int n) { return TranslateListNumber(n); };
    End(Nr, Kommentar, kComment);
}

void PListeCore::UpdateFieldLimits()
{
    Field(OffsetLinks).maximum = 100;
    Field(OffsetRechts).maximum = 100;
}

void PListeCore::ShowFields(int row, int line)
{
    std::vector<uint8_t> copy = Copy(line);
    uint8_t* p = copy.data();
    UnlockAll(row);
    SetText(row, Nr, F_NumOrEmpty(get_u16(p, 0), 4));
    SetText(row, Schiene, F_ZeroPadNum(p[2], 1));
    if (p[2] == 0) {
        ClearCarrier(p);
        SetText(row, Marker, "");
        LockAllBut(row, {Nr, Schiene});
        return;
    }
    SetEntry(row, Kasten, p[3]);
    SetEntry(row, Farbe, get_u32(p, 8));
    SetEntry(row, SchwenkenLinks, p[4]);
    SetText(row, OffsetLinks, Offset(p, 12));
    SetText(row, OffsetRechts, Offset(p, 14));
    SetEntry(row, SchwenkenRechts, p[5]);
    SetText(row, Marker, "@");
    SetText(row, Kommentar, CommentText(p, kComment));
}

void PListeCore::NormaliseLine(uint8_t* p) const
{
    if (p[2] == 0)
        ClearCarrier(p);
}

bool PListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    switch (field) {
    case Schiene:
        p[2] = static_cast<uint8_t>(value);
        if (value == 0)
            ClearCarrier(p);
        break;
    case Kasten:
        p[3] = static_cast<uint8_t>(value);
        break;
    case Farbe:
        put_u32(p, 8, static_cast<uint32_t>(value));
        break;
    case SchwenkenLinks:
        p[4] = static_cast<uint8_t>(value);
        break;
    case OffsetLinks:
        put_u16(p, 12, OffsetValue(text, value));
        break;
    case OffsetRechts:
        put_u16(p, 14, OffsetValue(text, value));
        break;
    case SchwenkenRechts:
        p[5] = static_cast<uint8_t>(value);
        break;
    default:
        return false;
    }
    return true;
}

// On the marker: Insert adds a continuation line below, Delete removes a
// continuation line.
bool PListeCore::InsertDeleteKey(int field, int row, char32_t c, int key)
{
    (void)c;
    if (field != Marker || FieldCell(row, field).readOnly)
        return false;
    return ContinuationKey(row, key);
}
