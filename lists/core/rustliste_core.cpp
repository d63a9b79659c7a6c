#include "lists/core/rustliste_core.h"

#include <algorithm>

#include "kernel/dispatch/busystate.h"
#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/family_data.h"
#include "kernel/model/machinedata.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"
#include "lists/core/list_tools.h"
#include "platform/codepage.h"

namespace {
constexpr int kRowPitch = 24;
constexpr int kCaptionX = 10, kCaptionWidth = 120, kValueWidth = 70;
// Room between a caption's last letter and its value cell.
constexpr int kCaptionGap = 6;
constexpr int kCaptionFont = 3;
constexpr int kCommentSize = 80;
const char* const kGauges = "E3||E3|E5||E5|E7||E7|E8||E8|E10||E10|E12||E12|";

uint8_t* Rs()
{
    return RuestSchema.data();
}
int Top(int row)
{
    return 4 + kRowPitch * (row - 1);
}
// The entry whose text is wanted, -1 for none.
int FindEntry(const std::string& choices, const std::string& wanted)
{
    for (int i = 0; i < ChoiceEntryCount(choices); ++i)
        if (ChoiceText(choices, i) == wanted)
            return i;
    return -1;
}
bool ValidEntry(const std::string& choices, int entry)
{
    return entry >= 0 && entry < ChoiceEntryCount(choices);
}
}  // namespace

RustListeCore::RustListeCore(ListWindowHost& host) : SetupListCore(host)
{
    const std::string& table = ZrVar.ModelTable;
    for (size_t i = 0; i + 3 <= table.size(); i += 4) {
        const std::string model = table.substr(i, 3);
        machines_ += "ZR " + model + "||ZR" + model + "|";
    }
    Begin("Ruestblatt", "Rüstblatt", 1, 1, 0, 0, 5);
    const char* const rows[][2] = {
        {"Maschine", "Maschine"}, {"Feinheit", "Feinheit"}, {"Kommentar", "Kommentar"},
        {"WE", "Wahlschalterebene"}, {"WA", "Warenabzug"}, {"TZ", "Tourenzahl"}, {"", "Tourenzahl Umhängen"},
        {"", "Tourenzahl Leerreihe"}, {"LB", "Längenbegrenzung"}, {"SZ", "Stückzähler"},
        {"HF", "Hintergrundfarbe"}, {"Kamm", "Kamm aktiv"}, {"KL1 Automatisch", "KL1 Automatisch"},
        {"Kopplung", "Kopplungsabstand"}, {"Umkehr", "Hubumkehr"}, {"Ff Mindestabstand", "Fadenführer Mindestabstand"},
        {"Ff Maximalabstand", "Fadenführer Maximalabstand"},
        {"Abstand von Ff zu Ff", "Abstand von Fadenführer zu Fadenführer"}, {"X", "Patronenbreite"},
        {"Y", "Patronenhöhe"}};
    std::string captions[20];
    for (int r = 1; r <= 20; ++r) {
        std::string caption = rows[r - 1][0];
        // Short codes stay as they are; the other captions are translated.
        if (r == TZUmhaengen)
            caption = "TZ " + F_TRANS("Umhängen");
        else if (r == TZLeerreihe)
            caption = "TZ " + F_TRANS("Leerreihe");
        else if (caption != "WE" && caption != "WA" && caption != "TZ" && caption != "LB" && caption != "SZ" &&
                 caption != "HF" && caption != "X" && caption != "Y")
            caption = F_TRANS(caption);
        captions[r - 1] = caption;
    }
    // The caption column takes the longest caption of the language; the
    // values and the window move right with it.
    captionWidth_ = kCaptionWidth;
    for (const std::string& caption : captions)
        captionWidth_ = std::max(captionWidth_, host_.TextWidth(caption, kCaptionFont) + kCaptionGap);
    for (int r = 1; r <= 20; ++r)
        AddRow(r, captions[r - 1], rows[r - 1][1], r <= FfAbstand);
    XColumn = Grid().Columns() - 2;
    YColumn = Grid().Columns();
    Define(Maschine, 4, machines_, 0, 0);
    Define(Feinheit, 4, kGauges, 0, 0);
    Define(Kommentar, 7, "", 0, kCommentSize);
    Define(WE, 1, "", 8, 1);
    Define(WA, 1, "", 99, 2);
    for (int f : {TZ, TZUmhaengen, TZLeerreihe})
        Define(f, 1, "", 120, 3);
    Define(LB, 1, "", 9999, 4);
    Define(SZ, 1, "", 9999, 4);
    Define(HF, 6, ZrVar.Symbols.substr(0, 30), 0, 30);
    Define(Kamm, 4, " || |X||X|", 0, 0);
    Define(KL1, 4, " || |X||X|", 0, 0);
    Define(Kopplung, 4, CouplingChoices(kCouplingGroups[0].models[0]), 0, 0);
    Define(Umkehr, 1, "", 1, 1);
    Define(FfMin, 1, "", 999, 3);
    Define(FfMax, 1, "", 999, 3);
    // A byte: 255 at most.
    Define(FfAbstand, 1, "", 255, 3);
    FinishLayout(0, Maschine, false);
}

void RustListeCore::AddRow(int row, const std::string& caption, const std::string& hint, bool field)
{
    AddCell(caption, kCaptionX, Top(row), captionWidth_, false, kCaptionFont, CellAlignment::Left, hint);
    Grid().At(1, Grid().Columns()).bevel = false;
    // The comment and the background colours may hold more than the cell
    // shows: they start at the left edge, so their beginning stays readable.
    const bool overflows = row == Kommentar || row == HF;
    AddCell("", kCaptionX + captionWidth_, Top(row), kValueWidth, field, 4,
            overflows ? CellAlignment::Left : CellAlignment::Centre, hint);
}

std::string RustListeCore::CouplingChoices(const std::string& model)
{
    for (const CouplingGroup& group : kCouplingGroups)
        for (const char* m : group.models)
            if (m && model == m) {
                std::string choices;
                for (int inch = group.firstInch; inch < group.firstInch + kCouplingChoiceCount; ++inch) {
                    const std::string text = std::to_string(inch) + "\"";
                    choices += text + "||" + text + "|";
                }
                return choices;
            }
    return {};
}

// A value no entry names shows as it is, and its entry number lies past
// the list, so that a store of it changes nothing.
void RustListeCore::ShowChoice(int field, const std::string& wanted, const std::string& raw)
{
    const std::string& choices = Field(field).characters;
    const int entry = FindEntry(choices, wanted);
    SetEntry(1, field, entry >= 0 ? static_cast<uint32_t>(entry) : static_cast<uint32_t>(ChoiceEntryCount(choices)));
    if (entry < 0)
        SetText(1, field, raw);
}

void RustListeCore::ShowNumber(int field, int value)
{
    SetText(1, field, F_ZeroPadNum(value, Field(field).digits));
}

void RustListeCore::ShowLine(int row, int line, int record)
{
    (void)row, (void)line, (void)record;
    const int we = Level();
    const std::string model = ProgrammKopf.Model();
    ShowChoice(Maschine, "ZR " + model, "ZR" + model);
    const std::string gauge = "E" + std::to_string(ProgrammKopf.Gauge());
    ShowChoice(Feinheit, gauge, gauge);
    SetText(1, Kommentar, Cp1252ToUtf8(ReadShortString(Rs(), T_RuestSchema::kComment, kCommentSize)));
    ShowNumber(WE, Rs()[T_RuestSchema::kLevel]);
    ShowNumber(WA, Rs()[T_RuestSchema::TakeDown(we)]);
    for (int i = 0; i < 3; ++i)
        ShowNumber(TZ + i, Rs()[T_RuestSchema::kSpeed + static_cast<size_t>(i)]);
    ShowNumber(LB, get_u16(Rs(), T_RuestSchema::LengthLimit(we)));
    ShowNumber(SZ, get_u16(Rs(), T_RuestSchema::PieceCount(we)));
    SetEntry(1, HF, get_u32(Rs(), T_RuestSchema::kBackground));
    if (ProgrammKopf.TakeDownColumns()) {
        UnlockFields(1, {Kamm, KL1});
        SetEntry(1, Kamm, Rs()[T_RuestSchema::kComb] == 1 ? 1 : 0);
        SetEntry(1, KL1, Rs()[T_RuestSchema::kClamp1] == 1 ? 1 : 0);
    } else {
        Rs()[T_RuestSchema::kComb] = Rs()[T_RuestSchema::kClamp1] = 0;
        LockFields(1, {Kamm, KL1});
    }
    if (ProgrammKopf.ModelOption()) {
        UnlockFields(1, {Kopplung});
        // A model in no group keeps the choices it had.
        if (const std::string choices = CouplingChoices(model); !choices.empty())
            Field(Kopplung).characters = choices;
        const uint16_t inches = get_u16(Rs(), T_RuestSchema::kCoupling);
        const std::string text = inches ? std::to_string(inches) + "\"" : std::string();
        ShowChoice(Kopplung, text, text);
    } else {
        put_u16(Rs(), T_RuestSchema::kCoupling, 0);
        LockFields(1, {Kopplung});
    }
    ShowNumber(Umkehr, Rs()[T_RuestSchema::kStrokeReversal]);
    ShowNumber(FfMin, get_u16(Rs(), T_RuestSchema::kFfMin));
    ShowNumber(FfMax, get_u16(Rs(), T_RuestSchema::kFfMax));
    ShowNumber(FfAbstand, Rs()[T_RuestSchema::kFfDis]);
    Grid().At(1, XColumn).text = F_ZeroPadNum(ProgrammKopf.Width(), 4);
    Grid().At(1, YColumn).text = F_ZeroPadNum(ProgrammKopf.Height(), 4);
}

std::optional<std::string> RustListeCore::StoreCell(int field, int row, int32_t value,
                                                    const std::optional<std::string>& text, int record, int line)
{
    const int we = Level();
    bool header = false;
    switch (field) {
    case Maschine:
        header = StoreModel(value);
        break;
    case Feinheit:
        header = StoreGauge(value);
        break;
    case Kommentar:
        WriteShortString(Rs(), T_RuestSchema::kComment, kCommentSize, Utf8ToCp1252(text.value_or("")));
        break;
    case WE:
        if (value > 0) {
            Rs()[T_RuestSchema::kLevel] = static_cast<uint8_t>(value);
            if (LevelChanged)
                LevelChanged();
        }
        break;
    case WA:
        Rs()[T_RuestSchema::TakeDown(we)] = static_cast<uint8_t>(value);
        break;
    case TZ:
    case TZUmhaengen:
    case TZLeerreihe:
        Rs()[T_RuestSchema::kSpeed + static_cast<size_t>(field - TZ)] = static_cast<uint8_t>(value);
        break;
    case LB:
        put_u16(Rs(), T_RuestSchema::LengthLimit(we), static_cast<uint16_t>(value));
        break;
    case SZ:
        put_u16(Rs(), T_RuestSchema::PieceCount(we), static_cast<uint16_t>(value));
        break;
    case HF:
        put_u32(Rs(), T_RuestSchema::kBackground, static_cast<uint32_t>(value));
        break;
    case Kamm:
        Rs()[T_RuestSchema::kComb] = value == 1 ? 1 : 0;
        break;
    case KL1:
        Rs()[T_RuestSchema::kClamp1] = value == 1 ? 1 : 0;
        break;
    case Kopplung:
        StoreCoupling(value);
        break;
    case Umkehr:
        Rs()[T_RuestSchema::kStrokeReversal] = static_cast<uint8_t>(value);
        break;
    case FfMin:
        put_u16(Rs(), T_RuestSchema::kFfMin, static_cast<uint16_t>(value));
        break;
    case FfMax:
        put_u16(Rs(), T_RuestSchema::kFfMax, static_cast<uint16_t>(value));
        break;
    case FfAbstand:
        Rs()[T_RuestSchema::kFfDis] = static_cast<uint8_t>(value);
        break;
    default:
        return std::nullopt;
    }
    ShowLine(row, line, record);
    if (header && HeaderChanged)
        HeaderChanged();
    return FieldCell(row, field).text;
}

// Another model is another machine: the program's windows close and the
// machine data follow it. The same model again changes nothing.
bool RustListeCore::StoreModel(int entry)
{
    if (!ValidEntry(machines_, entry))
        return false;
    const std::string model = RightChars(ChoiceCode(machines_, entry), 3);
    if (model == ProgrammKopf.Model() || ProgramBusy())
        return false;
    ProgrammKopf.SetModel(model);
    kernelHost().closeProgramWindows();
    P_SetMaschinenDaten();
    return true;
}

// Deriving the machine data for a model the table lacks resets its systems
// and options: the windows laid out for the old ones close.
bool RustListeCore::StoreGauge(int entry)
{
    if (!ValidEntry(kGauges, entry))
        return false;
    const int gauge = LeadingNumber(ChoiceCode(kGauges, entry).substr(1));
    if (gauge == ProgrammKopf.Gauge() || ProgramBusy())
        return false;
    const uint8_t options = ProgrammKopf.b[11], systems = ProgrammKopf.b[26];
    ProgrammKopf.SetGauge(static_cast<uint8_t>(gauge));
    P_SetMaschinenDaten();
    if (ProgrammKopf.b[11] != options || ProgrammKopf.b[26] != systems)
        kernelHost().closeProgramWindows();
    return true;
}

void RustListeCore::StoreCoupling(int entry)
{
    const std::string& choices = Field(Kopplung).characters;
    if (ValidEntry(choices, entry))
        put_u16(Rs(), T_RuestSchema::kCoupling, static_cast<uint16_t>(LeadingNumber(ChoiceText(choices, entry).substr(0, 2))));
}
