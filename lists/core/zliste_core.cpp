#include "lists/core/zliste_core.h"

#include <algorithm>

#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"
#include "lists/core/list_tools.h"

namespace {
std::vector<uint8_t> clipboard;
constexpr int kMaxSystems = 6;
constexpr int kSystemBase = 28;
constexpr int kSystemSize = 88;
constexpr int kCommentAt = 556;
constexpr int kMaxRacking = 28;
constexpr int8_t kNoRacking = 127;
constexpr int kLockEntries = 29;
constexpr int kInsert = 45, kDelete = 46;
constexpr int kRight = 39, kReturn = 13;
constexpr uint16_t kNoMark = 65535;

// Layout: the rows of a block, the width of a system column.
constexpr int kColumnPitch = 107;
constexpr int kHalf = 51;
constexpr int kSystemsLeft = 76;
constexpr int kMiddle = 92;
constexpr int kSideTwoTops[] = {67, 46, 25, 4};
constexpr int kSideOneTops[] = {117, 138, 159, 180};
constexpr int kCommentTop = 201;

const char* const kBlankX = " || |X||X|";
const char* const kLockList =
    " || |RR||RR|Auto||Auto|1:1||1:1|2:1||2:1|-1:1||-1:1|-2:1||-2:1| || | || | || | || |A1||A1|A2||A2|A3||A3|"
    "B1||B1|B2||B2|B3||B3|C1||C1|C2||C2|C3||C3|D1||D1|D2||D2|D3||D3|E1||E1|E2||E2|E3||E3|F1||F1|F2||F2|F3||F3|";

// The lock list offers its first seven entries; the stored net types past
// them still show.
std::string LockMask()
{
    return std::string(7, '1') + std::string(kLockEntries - 7, '0');
}
std::string CarrierChoices()
{
    std::string choices;
    for (int i = 1; i <= 8; ++i)
        choices += F_TRANS("FF") + " " + std::to_string(i) + "||" + std::to_string(i) + "|";
    return choices;
}
std::string Symbols()
{
    return ZrVar.Symbols.substr(0, 31);
}
std::string SymbolText(uint32_t set)
{
    const std::u32string chars = ToU32(Symbols());
    std::u32string shown;
    for (size_t i = 0; i < chars.size() && i < 32; ++i)
        if (set >> i & 1)
            shown.push_back(chars[i]);
    return ToU8(shown);
}
std::string Lettered(char letter, int value)
{
    return (letter == ' ' ? std::string(" ") : std::string(1, letter)) + F_ZeroPadNum(value, 4);
}
char LetterOf(const std::optional<std::string>& text)
{
    return text && !text->empty() ? (*text)[0] : '\0';
}
bool IsColourKind(int kind)
{
    return kind == 4 || kind == 6;
}
}  // namespace

ZListeCore::ZListeCore(ListWindowHost& host)
    : ListEditorCore(host, []() -> T_ListenVar& { return *ZListe; }, 'Z', clipboard)
{
    systems_ = std::clamp<int>(ProgrammKopf.MachineKind(), 1, kMaxSystems);
    comb_ = ProgrammKopf.TakeDownColumns();
    SetCaption("Strickschema");
    SetMargins(4, 0, 6);
    SetFormKey("Z_Liste");
    SetRows(1);
    SetLineCount(0);
    SetLineCount(List().Count());
    CreateCells(1);
    AddCell("Z", 4, 4, 20, false, CellAlignment::Centre);
    Grid().At(1, 1).hint = F_TRANS("Wahlschalter");
    AddField({Role::ListNumber}, "Liste Nummer", 26, 4, 44, 1, "", 9999, 4);
    directionColumn_ = AddCell("", 4, 25, 66, false, CellAlignment::Centre);
    for (int k = 1; k <= systems_; ++k)
        DefineSystemColumn(k, kSystemsLeft + (k - 1) * kColumnPitch);
    const int machine = kSystemsLeft + systems_ * kColumnPitch;
    DefineMachineBlock(machine);
    Kommentar = AddField({Role::Comment}, "Kommentar", kSystemsLeft, kCommentTop, machine + 131 - kSystemsLeft, 7,
                         "", 0, 80);
    FieldCell(1, Kommentar).alignment = CellAlignment::Left;
    for (const EditFieldDef& def : pending_)
        DefineEditField(def);
    pending_.clear();
    End(1, Kommentar, kCommentAt);
}

int ZListeCore::AddCell(const std::string& caption, int x, int top, int width, bool field, CellAlignment alignment)
{
    ColumnDef def;
    def.caption = caption;
    def.hint = caption;
    def.x = x;
    def.top = top;
    def.width = width;
    def.font = 4;
    def.alignment = alignment;
    def.createField = field;
    def.noField = !field;
    return DefineColumn(def);
}

int ZListeCore::AddField(FieldRole role, const std::string& caption, int x, int top, int width, int kind,
                         const std::string& characters, int maximum, int digits, const std::string& mask)
{
    const int field = AddCell(caption, x, top, width, true, kind == 6 ? CellAlignment::Left : CellAlignment::Centre);
    roles_.resize(static_cast<size_t>(field) + 1);
    roles_[static_cast<size_t>(field)] = role;
    // Defined once all cells stand: the neighbours are then computed once.
    pending_.push_back(PlainField(field, kind, characters, maximum, digits, mask));
    return field;
}

// Reading order: the upper half (side 2) from the top, the carrier row, the
// lower half (side 1); each row's cells left to right.
void ZListeCore::DefineSystemColumn(int k, int x)
{
    struct SideRow {
        const char* left;
        Role leftRole;
        int leftOffset;
        const char* right;
        Role rightRole;
        int rightOffset;
    };
    // Side-1 order from the carrier row outwards; side 2 mirrors it.
    const SideRow rows[] = {
        {"Schloßschaltung", Role::Lock, 0, "Patronenzeile", Role::PatternRow, 1},
        {"Variable Netzrückseite", Role::Back, 12, "Farbe für Henkel / Nehmen", Role::Colour, 24},
        {"Farbe für Masche / Umhängen", Role::Colour, 16, "Festigkeit", Role::Density, 4},
        {"Farbe für 2. Festigkeit", Role::Colour, 32, "2. Festigkeit", Role::Density, 8},
    };
    auto sideRow = [&](const SideRow& r, int side, int top) {
        for (int half = 0; half < 2; ++half) {
            const char* caption = half ? r.right : r.left;
            const Role role = half ? r.rightRole : r.leftRole;
            const int offset = half ? r.rightOffset : r.leftOffset;
            const FieldRole fr{role, k, side, offset};
            const int cx = x + half * (kHalf + 1);
            switch (role) {
            case Role::Colour:
                AddField(fr, caption, cx, top, kHalf, 6, Symbols(), 0, 31);
                break;
            case Role::Density:
                AddField(fr, caption, cx, top, kHalf, 2, "FWD", 9999, 5);
                break;
            case Role::PatternRow:
                AddField(fr, caption, cx, top, kHalf, 2, "Y D", 9999, 5, "101");
                break;
            case Role::Lock:
                AddField(fr, caption, cx, top, kHalf, 4, " || |A||A|S||S|U||U|T||T|", 0, 0);
                break;
            default:
                AddField(fr, caption, cx, top, kHalf, 4, kBlankX, 0, 0);
                break;
            }
        }
    };
    for (int i = 3; i >= 0; --i)
        sideRow(rows[i], 2, kSideTwoTops[i]);
    const int carrierWidth = comb_ ? 64 : 84;
    AddField({Role::Carrier, k, 0, 0}, "Fadenführer", x, kMiddle, carrierWidth, 2, "P", 9999, 5);
    int next = x + carrierWidth;
    if (comb_) {
        AddField({Role::SystemChoice, k, 0, 4}, "Fadenführer Home", next, kMiddle, 19, 4, kBlankX, 0, 0);
        next += 19;
    }
    AddField({Role::SystemChoice, k, 0, 3}, "Fadenführer blasen", next, kMiddle, 19, 4, kBlankX, 0, 0);
    for (int i = 0; i < 4; ++i)
        sideRow(rows[i], 1, kSideOneTops[i]);
}

void ZListeCore::DefineMachineBlock(int x)
{
    const char* const uv = "G||G|U1||U1|U2||U2|UH||UH|";
    const CellAlignment centre = CellAlignment::Centre;
    AddCell("HV", x, 4, 24, false, centre);
    AddField({Role::Racking, 0, 0, 12}, "Hauptversatz", x + 25, 4, 50, 2, "LRV", 9999, 5);
    AddCell("UV", x + 76, 4, 24, false, centre);
    AddField({Role::Transfer, 0, 0, 15}, "Umhängeversatz", x + 101, 4, 30, 4, uv, 0, 0);
    AddCell("MV", x, 25, 24, false, centre);
    AddField({Role::Racking, 0, 0, 16}, "Mittenversatz", x + 25, 25, 50, 2, "LRV", 9999, 5);
    AddCell("UV", x + 76, 25, 24, false, centre);
    AddField({Role::Transfer, 0, 0, 19}, "Umhängeversatz", x + 101, 25, 30, 4, uv, 0, 0);
    AddCell("A", x, 46, 24, false, centre);
    AddField({Role::TakeDown, 0, 0, 0}, "Warenabzug", x + 25, 46, 50, 2, "A* W", 9999, 5, "1011");
    AddField({Role::FastRun, 0, 0, 0}, "Warenabzug Schnelllauf", x + 76, 46, 19, 4, kBlankX, 0, 0);
    AddCell("TZ", x, 67, 24, false, centre);
    AddField({Role::Speed, 0, 0, 4}, "Geschwindigkeit", x + 25, 67, 50, 2, "W D", 9999, 5);
    AddField({Role::LineChoice, 0, 0, 8}, "Stückzähler", x, kMiddle, 19, 4, kBlankX, 0, 0);
    AddField({Role::LineChoice, 0, 0, 9}, "Reinigungshub", x + 20, kMiddle, 19, 4, kBlankX, 0, 0);
    AddField({Role::LineChoice, 0, 0, 10}, "Warenausfallsensor aus", x + 40, kMiddle, 19, 4, kBlankX, 0, 0);
    if (!comb_)
        return;
    const char* const clamp = " || |O||O|C||C|";
    AddCell("KA", x, 138, 24, false, centre);
    AddField({Role::LineChoice, 0, 0, 27}, "Kamm", x + 25, 138, 19, 4, " || |*||*|1||1|2||2|", 0, 0);
    AddCell("KL", x, 159, 24, false, centre);
    Grid().At(1, Grid().Columns()).hint = F_TRANS("Klemme");
    AddField({Role::LineChoice, 0, 0, 20}, "Klemme links", x + 25, 159, 19, 4, clamp, 0, 0);
    AddField({Role::LineChoice, 0, 0, 21}, "Klemme links", x + 45, 159, 19, 4, clamp, 0, 0);
    AddField({Role::LineChoice, 0, 0, 22}, "Klemme rechts", x + 65, 159, 19, 4, clamp, 0, 0);
    AddField({Role::LineChoice, 0, 0, 23}, "Klemme rechts", x + 85, 159, 19, 4, clamp, 0, 0);
    AddField({Role::Delay, 0, 0, 24}, "Verzögerung", x + 105, 159, 26, 1, "", 255, 3);
    AddCell("SC", x, 180, 24, false, centre);
    Grid().At(1, Grid().Columns()).hint = F_TRANS("Schere");
    AddField({Role::Scissors, 0, 0, 0}, "Schere links", x + 25, 180, 19, 4, kBlankX, 0, 0);
    AddField({Role::Scissors, 0, 0, 1}, "Schere rechts", x + 45, 180, 19, 4, kBlankX, 0, 0);
    AddField({Role::Delay, 0, 0, 26}, "Verzögerung", x + 65, 180, 26, 1, "", 255, 3);
}

int ZListeCore::FieldAt(int column, int side, Role role, int offset) const
{
    for (size_t f = 1; f < roles_.size(); ++f) {
        const FieldRole& r = roles_[f];
        if (r.column == column && r.side == side && r.role == role && r.offset == offset)
            return static_cast<int>(f);
    }
    return 0;
}

int ZListeCore::Slot(int line, int column) const
{
    return line % 2 == 0 ? column : systems_ + 1 - column;
}

size_t ZListeCore::Base(int line, const FieldRole& r) const
{
    size_t at = static_cast<size_t>(kSystemBase + kSystemSize * (Slot(line, r.column) - 1));
    if (r.side)
        at += r.side == 1 ? 8 : 48;
    return at + static_cast<size_t>(r.offset);
}

// ---- showing --------------------------------------------------------------

void ZListeCore::ShowFields(int row, int line)
{
    std::vector<uint8_t> copy = Copy(line);
    NormaliseLine(copy.data());
    const uint8_t* p = copy.data();
    UnlockAll(row);
    Grid().At(row, directionColumn_).text = line % 2 ? ">>>>" : "<<<<";
    for (int f = 1; f <= FelderAnzahl(); ++f)
        ShowField(row, line, f, p);
}

void ZListeCore::ShowField(int row, int line, int field, const uint8_t* p)
{
    const FieldRole& r = RoleOf(field);
    switch (r.role) {
    case Role::ListNumber:
        SetText(row, field, F_ZeroPadNum(line, 4));
        break;
    case Role::Colour: {
        const size_t at = Base(line, r);
        ShowColour(row, field, get_u32(p, at), get_u32(p, at + 4));
        break;
    }
    case Role::Density: {
        const size_t at = Base(line, r);
        const uint16_t code = get_u16(p, at);
        SetText(row, field, code >= 1 && code <= 3 ? Lettered("FWD"[code - 1], get_u16(p, at + 2)) : "");
        break;
    }
    case Role::PatternRow: {
        const size_t at = Base(line, r);
        const uint16_t value = get_u16(p, at + 1);
        SetText(row, field, value == 0 ? "" : Lettered(p[at] == 2 ? 'D' : 'Y', value));
        break;
    }
    case Role::Lock:
    case Role::Back:
    case Role::SystemChoice:
        SetEntry(row, field, p[Base(line, r)]);
        break;
    case Role::Carrier: {
        const size_t at = Base(line, r);
        ShowCarrier(row, field, get_u16(p, at), p[at + 2]);
        break;
    }
    case Role::Racking: {
        const size_t at = static_cast<size_t>(r.offset);
        const uint16_t vLine = get_u16(p, at);
        const int8_t amount = static_cast<int8_t>(p[at + 2]);
        const int transfer = field + 1;
        if (vLine != 0)
            SetText(row, field, Lettered('V', vLine));
        else if (amount == kNoRacking)
            SetText(row, field, "");
        else
            SetText(row, field, Lettered(amount < 0 ? 'L' : 'R', std::abs(amount)));
        if (vLine == 0 && amount == kNoRacking)
            LockFields(row, {transfer});
        break;
    }
    case Role::Transfer:
        if (!FieldCell(row, field).readOnly)
            SetEntry(row, field, p[r.offset]);
        break;
    case Role::TakeDown: {
        const uint16_t value = get_u16(p, 2);
        const bool none = p[0] == 1 || (p[0] == 0 && value == 0) || p[0] > 3;
        SetText(row, field, none ? "" : Lettered("A* W"[p[0]], value));
        break;
    }
    case Role::FastRun:
        SetEntry(row, field, p[0] == 1 ? 1 : 0);
        break;
    case Role::Speed: {
        const uint16_t value = get_u16(p, 6);
        const bool none = (p[4] == 0 && value == 0) || p[4] > 2;
        SetText(row, field, none ? "" : Lettered("W D"[p[4]], value));
        break;
    }
    case Role::LineChoice:
        SetEntry(row, field, p[r.offset]);
        break;
    case Role::Delay:
        SetText(row, field, F_ZeroPadNum(p[r.offset], 3));
        break;
    case Role::Scissors:
        SetEntry(row, field, p[25] >> r.offset & 1);
        break;
    case Role::Comment:
        SetText(row, field, CommentText(p, kCommentAt));
        break;
    }
}

// A lock index shows in the lock list, a colour set as symbols.
void ZListeCore::ShowColour(int row, int field, uint32_t set, uint32_t lock)
{
    Cell& cell = FieldCell(row, field);
    const bool symbols = lock == 0;
    cell.symbolMode = symbols;
    cell.alignment = symbols ? CellAlignment::Left : CellAlignment::Centre;
    SetEntry(row, field, symbols ? set : lock);
    cell.text = symbols ? SymbolText(set) : ChoiceCode(kLockList, static_cast<int>(lock));
}

void ZListeCore::ShowCarrier(int row, int field, uint16_t pNumber, uint8_t set)
{
    if (pNumber != 0) {
        SetEntry(row, field, 0);
        SetText(row, field, Lettered('P', pNumber));
        return;
    }
    SetEntry(row, field, set);
    std::string codes;
    for (int bit = 0; bit < 8; ++bit)
        if (set >> bit & 1)
            codes += std::to_string(bit + 1);
    SetText(row, field, codes);
}

// A lock index past the list is no lock: the cell shows the colour set, and
// the line's first store writes it so.
void ZListeCore::NormaliseLine(uint8_t* p) const
{
    for (int slot = 0; slot < systems_; ++slot)
        for (int side : {8, 48})
            for (int colour : {16, 24, 32}) {
                const size_t at = static_cast<size_t>(kSystemBase + kSystemSize * slot + side + colour + 4);
                if (get_u32(p, at) >= kLockEntries)
                    put_u32(p, at, 0);
            }
}

// ---- kinds ----------------------------------------------------------------

void ZListeCore::SetColourKind(int field, bool symbols)
{
    EditField& f = Field(field);
    f.kind = symbols ? 6 : 4;
    f.characters = symbols ? Symbols() : kLockList;
    f.mask = symbols ? std::string() : LockMask();
    f.digits = symbols ? 31 : 0;
}

void ZListeCore::SetCarrierKind(int field, bool set)
{
    EditField& f = Field(field);
    f.kind = set ? 5 : 2;
    f.characters = set ? CarrierChoices() : "P";
    f.mask.clear();
    f.maximum = set ? 0 : 9999;
    f.digits = set ? 0 : 5;
}

void ZListeCore::AdjustFieldKind(int line, int field, int row)
{
    (void)line;
    if (field < 1 || field > FelderAnzahl() || !Grid().Contains(row, Field(field).column))
        return;
    const Cell& cell = FieldCell(row, field);
    if (RoleOf(field).role == Role::Colour)
        SetColourKind(field, cell.symbolMode);
    else if (RoleOf(field).role == Role::Carrier)
        SetCarrierKind(field, cell.LongTag != 0);
}

void ZListeCore::CellTextChanged(int line, int field, int row, const std::string& text)
{
    (void)text;
    AdjustFieldKind(line, field, row);
    if (RoleOf(field).role != Role::Colour || Field(field).kind != 4 || FieldCell(row, field).LongTag != 0)
        return;
    // The blank entry of the lock list is the empty colour set.
    SetColourKind(field, true);
    Cell& cell = FieldCell(row, field);
    cell.symbolMode = true;
    cell.alignment = CellAlignment::Left;
    SetEntry(row, field, 0);
    MarkCellChanged();
}

bool ZListeCore::InsertDeleteKey(int field, int row, char32_t c, int key)
{
    if (field < 1 || field > FelderAnzahl() || FieldCell(row, field).readOnly)
        return false;
    const Role role = RoleOf(field).role;
    const int kind = Field(field).kind;
    Cell& cell = FieldCell(row, field);
    if (role == Role::Colour && IsColourKind(kind)) {
        const bool blankShown = TrimBlanks(ChoiceCode(kLockList, static_cast<int>(cell.LongTag))).empty();
        if (kind == 6 && c == ' ') {
            SetColourKind(field, false);
            cell.symbolMode = false;
            cell.alignment = CellAlignment::Centre;
            SetEntry(row, field, 1);
            host_.SetBlinking(false);
        } else if (kind == 4 && (key == kDelete || (c == ' ' && blankShown))) {
            SetColourKind(field, true);
            cell.symbolMode = true;
            cell.alignment = CellAlignment::Left;
            SetEntry(row, field, 0);
            host_.SetBlinking(true);
        } else {
            return false;
        }
        MarkCellChanged();
        return true;
    }
    if (role == Role::Carrier) {
        if (kind == 2 && key == kInsert) {
            SetCarrierKind(field, true);
            SetEntry(row, field, 0);
            cell.text.clear();
            host_.SetBlinking(false);
        } else if (kind == 5 && key == kDelete) {
            SetCarrierKind(field, false);
            SetEntry(row, field, 0);
            cell.text = "0";
            host_.SetBlinking(true);
        } else {
            return false;
        }
        MarkCellChanged();
        return true;
    }
    return false;
}

// ---- storing --------------------------------------------------------------

bool ZListeCore::StoreField(uint8_t* p, int field, int32_t value, const std::optional<std::string>& text)
{
    const FieldRole& r = RoleOf(field);
    const int line = Grid().At(Zeile(), 1).line;
    const char letter = LetterOf(text);
    const bool empty = letter == '\0' || value == 0;
    switch (r.role) {
    case Role::Colour: {
        const size_t at = Base(line, r);
        const bool symbols = Field(field).kind == 6;
        put_u32(p, at, symbols ? static_cast<uint32_t>(value) : 0);
        put_u32(p, at + 4, symbols ? 0 : static_cast<uint32_t>(value));
        break;
    }
    case Role::Density: {
        const size_t at = Base(line, r);
        if (letter == 'D' && value > ProgrammKopf.MaxUnitD())
            break;
        const size_t code = letter ? std::string("FWD").find(letter) : std::string::npos;
        put_u16(p, at, static_cast<uint16_t>(code == std::string::npos ? 0 : code + 1));
        put_u16(p, at + 2, static_cast<uint16_t>(code == std::string::npos ? 0 : value));
        break;
    }
    case Role::PatternRow: {
        const size_t at = Base(line, r);
        p[at] = empty ? 0 : letter == 'D' ? 2 : 0;
        put_u16(p, at + 1, static_cast<uint16_t>(empty ? 0 : value));
        break;
    }
    case Role::Lock:
    case Role::Back:
    case Role::SystemChoice:
        p[Base(line, r)] = static_cast<uint8_t>(value);
        break;
    case Role::Carrier: {
        const size_t at = Base(line, r);
        const bool set = Field(field).kind == 5;
        put_u16(p, at, static_cast<uint16_t>(set ? 0 : value));
        p[at + 2] = static_cast<uint8_t>(set ? value : 0);
        break;
    }
    case Role::Racking:
        return StoreRacking(p, field, value, letter ? std::string(1, letter) : std::string());
    case Role::Transfer:
    case Role::LineChoice:
    case Role::Delay:
        p[r.offset] = static_cast<uint8_t>(value);
        break;
    case Role::TakeDown: {
        if (letter == ' ' && value > 100)
            break;
        const size_t index = letter ? std::string("A* W").find(letter) : std::string::npos;
        // A fast run has no value, however it was typed.
        const bool valued = index != std::string::npos && index != 1;
        p[0] = static_cast<uint8_t>(index == std::string::npos ? 0 : index);
        put_u16(p, 2, static_cast<uint16_t>(valued ? value : 0));
        break;
    }
    case Role::FastRun:
        // Only a fast-run line loses its fast run; a blank elsewhere keeps the take-down.
        if (value == 1 || p[0] == 1) {
            p[0] = value == 1 ? 1 : 0;
            put_u16(p, 2, 0);
        }
        break;
    case Role::Speed: {
        if ((letter == ' ' && value > 100) || (letter == 'D' && value > 255))
            break;
        const size_t index = letter ? std::string("W D").find(letter) : std::string::npos;
        p[4] = static_cast<uint8_t>(index == std::string::npos ? 0 : index);
        put_u16(p, 6, static_cast<uint16_t>(index == std::string::npos ? 0 : value));
        break;
    }
    case Role::Scissors:
        p[25] = static_cast<uint8_t>((p[25] & ~(1 << r.offset)) | (value == 1 ? 1 << r.offset : 0));
        break;
    default:
        return false;
    }
    return true;
}

// Amounts stay within the gauge's racking limit and the -28..28 of a line,
// so no amount meets 127, the mark of no racking.
bool ZListeCore::StoreRacking(uint8_t* p, int field, int32_t value, const std::string& letter)
{
    const size_t at = static_cast<size_t>(RoleOf(field).offset);
    auto store = [&](uint16_t vLine, int8_t amount, uint8_t transfer) {
        put_u16(p, at, vLine);
        p[at + 2] = static_cast<uint8_t>(amount);
        p[at + 3] = transfer;
    };
    if (letter == "V" && value != 0) {
        store(static_cast<uint16_t>(value), 0, 0);
    } else if ((letter == "R" || letter == "L") && value != 0) {
        if (value > std::min<int>(ProgrammKopf.MaxRacking(), kMaxRacking))
            return true;
        const Cell& transfer = FieldCell(Zeile(), field + 1);
        store(0, static_cast<int8_t>(letter == "L" ? -value : value), static_cast<uint8_t>(transfer.LongTag));
    } else {
        store(0, kNoRacking, 0);
    }
    return true;
}

// ---- the systems the test knits and the linked editors --------------------

void ZListeCore::SetCellColour(int row, int system, uint32_t rgb)
{
    const int s = system & 0xff;
    if (s < 1 || s > systems_ || !Grid().Contains(row, 1))
        return;
    const int column = systems_ + 1 - s;
    const int side = system & 0x100 ? 1 : 2;
    for (int f = 1; f <= FelderAnzahl(); ++f) {
        const FieldRole& r = RoleOf(f);
        if (r.column == column && (r.side == 0 || r.side == side))
            FieldCell(row, f).background = rgb;
    }
    OpenLinkedList(Grid().At(row, 1).line, FieldAt(column, side, Role::Density, 4));
}

void ZListeCore::OpenLinkedList(int line, int field)
{
    const bool onLine = line >= 1 && line <= List().Count();
    const FieldRole none;
    const FieldRole& r = onLine && field >= 1 && field <= FelderAnzahl() ? RoleOf(field) : none;
    Jump("A_Liste", onLine ? TakeDownList(line) : 0, kNoMark);
    Jump("V_Liste", onLine ? RackingLine(line) : 0, kNoMark);
    Jump("P_Liste", onLine && r.column ? get_u16(Peek(line), Base(line, {Role::Carrier, r.column, 0, 0})) : 0, kNoMark);
    const int density = onLine ? DensityList(line, field) : 0;
    if (density)
        Jump("F_Liste", density + 1, kNoMark);
    Jump("F_Liste", density, kNoMark);
}

int ZListeCore::TakeDownList(int line) const
{
    for (int l = line; l >= 1; --l) {
        const uint8_t* p = Peek(l);
        const uint16_t value = get_u16(p, 2);
        if (p[0] != 0 || value != 0)
            return p[0] == 0 ? value : 0;
    }
    return 0;
}

int ZListeCore::RackingLine(int line) const
{
    for (int l = line; l >= 1; --l) {
        const uint8_t* p = Peek(l);
        const uint16_t main = get_u16(p, 12), centre = get_u16(p, 16);
        const bool mainSet = main != 0 || static_cast<int8_t>(p[14]) != kNoRacking;
        const bool centreSet = centre != 0 || static_cast<int8_t>(p[18]) != kNoRacking;
        if (!mainSet && !centreSet)
            continue;
        if (centre != 0)
            return centre;
        return centreSet ? 0 : main;
    }
    return 0;
}

int ZListeCore::DensityList(int line, int field) const
{
    const FieldRole& r = RoleOf(field);
    if (!r.side)
        return 0;
    const uint8_t* p = Peek(line);
    const size_t first = Base(line, {Role::Density, r.column, r.side, 4});
    const size_t second = first + 4;
    const bool onSecond = r.role == Role::Density && r.offset == 8;
    if (!onSecond && get_u16(p, first) == 1)
        return get_u16(p, first + 2);
    return get_u16(p, second) == 1 ? get_u16(p, second + 2) : 0;
}
