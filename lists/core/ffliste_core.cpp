#include "lists/core/ffliste_core.h"

#include <algorithm>

#include "kernel/language/language.h"
#include "kernel/listaccess/selectorlevel.h"
#include "kernel/model/bytes.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"

namespace {
constexpr int kCarriers = 8;
constexpr int16_t kUnset = -32768;
constexpr int kRight = 39, kReturn = 13;

uint8_t* Rs()
{
    return RuestSchema.data();
}
}  // namespace

FfListeCore::FfListeCore(ListWindowHost& host) : SetupListCore(host)
{
    Begin("Ff_Liste", "Fadenführer", kCarriers, 1, 4, 0, 6);
    // The code is shown translated; the hint is looked up from the German.
    AddCell(F_TRANS("FF"), 4, 4, 24, false, 4, CellAlignment::Centre, "FF");
    AddCell("Fadenführer", 30, 4, 20, true);
    AddCell("Fadenführer tauschen", 52, 4, 20, true);
    for (int b = 0; b < kBoxes; ++b) {
        const int x = 78 + b * 104;
        AddCell("Typ", x, 4, 40, true);
        AddCell("Offset", x + 41, 4, 60, true);
        homeColumns_[b] = AddCell("Grundposition", x, 30, 101, false);
    }
    Define(Fadenfuehrer, 1, "", kCarriers, 1);
    Define(Tauschen, 1, "", kCarriers, 1);
    const std::string types = " || |" + F_TRANS("NFF Typ") + " 1||" + F_TRANS("NFF") + " 1|" + F_TRANS("IFF Typ") +
                              " 2||" + F_TRANS("IFF") + " 2|";
    for (int b = 0; b < kBoxes; ++b) {
        Define(Typ(b), 4, types, 0, 0);
        Define(Offset(b), 2, "+-", 200, 4);
    }
    LineNumberTranslation = [](int n) { return Carrier(std::clamp(n, 1, kCarriers)); };
    FinishLayout(Fadenfuehrer, Fadenfuehrer, true);
}

void FfListeCore::ShowLine(int row, int line, int record)
{
    (void)record;
    if (line < 1 || line > kCarriers)
        return;
    const int r = Carrier(line);
    const int k = Level() - 1;
    Grid().At(row, 1).text = F_TRANS("FF");
    SetText(row, Fadenfuehrer, std::to_string(r));
    SetText(row, Tauschen, F_NumOrEmpty(Rs()[T_RuestSchema::Exchange(r)], 1));
    for (int b = 0; b < kBoxes; ++b) {
        const int16_t offset = get_i16(Rs(), T_RuestSchema::CarrierSet1(k, r, b));
        const int16_t home = get_i16(Rs(), T_RuestSchema::CarrierSet2(k, r, b));
        if (offset == kUnset) {
            LockFields(row, {Typ(b)});
            SetText(row, Offset(b), "");
        } else {
            UnlockFields(row, {Typ(b)});
            // Only 1 is the intarsia carrier; any other byte is a normal one.
            SetEntry(row, Typ(b), Rs()[T_RuestSchema::CarrierType(r, b)] == 1 ? 2 : 1);
            SetText(row, Offset(b), F_SignedZeroPadNum(offset, 4));
        }
        Grid().At(row, homeColumns_[b]).text = home == kUnset ? std::string() : F_SignedZeroPadNum(home, 5);
    }
}

std::optional<std::string> FfListeCore::StoreCell(int field, int row, int32_t value,
                                                  const std::optional<std::string>& text, int record, int line)
{
    // The carrier number only leads to a line.
    if (line < 1 || line > kCarriers || field == Fadenfuehrer)
        return std::nullopt;
    const int r = Carrier(line);
    if (field == Tauschen) {
        Rs()[T_RuestSchema::Exchange(r)] = static_cast<uint8_t>(value);
    } else if (field >= Typ(0)) {
        const int b = (field - Typ(0)) / 2;
        if (field == Typ(b)) {
            // The blank type empties the box at every level.
            if (value == 0)
                for (int k = 0; k < kSelectorLevels; ++k)
                    put_i16(Rs(), T_RuestSchema::CarrierSet1(k, r, b), kUnset);
            Rs()[T_RuestSchema::CarrierType(r, b)] = static_cast<uint8_t>(value == 2 ? 1 : 0);
        } else {
            // An offset needs its sign: without one the box has none.
            const bool signless = !text || text->empty();
            const int16_t v = signless ? kUnset : static_cast<int16_t>(*text == "-" ? -value : value);
            put_i16(Rs(), T_RuestSchema::CarrierSet1(Level() - 1, r, b), v);
        }
    }
    ShowLine(row, line, record);
    return FieldCell(row, field).text;
}

// Right on the carrier number goes to that carrier as Enter does.
bool FfListeCore::InsertDeleteKey(int field, int row, char32_t c, int key)
{
    (void)row, (void)c;
    if (field != Fadenfuehrer || key != kRight)
        return false;
    HandleKey(kReturn);
    return true;
}
