#include "kernel/model/workrecord.h"

#include <initializer_list>

#include "kernel/model/bytes.h"
#include "kernel/model/family_data.h"

t_K8_heap_var ZrVar;

namespace {
constexpr size_t kModelSlot = 4;

FunctionSet Set(std::initializer_list<int> members)
{
    FunctionSet set;
    for (int m : members)
        set.set(static_cast<size_t>(m));
    return set;
}

FunctionSet Range(int from, int to)
{
    FunctionSet set;
    for (int m = from; m <= to; ++m)
        set.set(static_cast<size_t>(m));
    return set;
}

// A column slot: its text at the slot start, blanks to the slot's width, so
// that reading one character or three gives the same value.
std::string Slot(const std::string& text)
{
    std::string slot = text.substr(0, kModelSlot);
    slot.resize(kModelSlot, ' ');
    return slot;
}

void FillModelTable(t_K8_heap_var& z)
{
    z.ModelTable.clear();
    z.ModelColumn1.clear();
    z.ModelColumn2.clear();
    z.ModelColumn3.clear();
    z.ModelCodes.clear();
    z.SystemCounts.reset();
    for (const FamilyModel& m : kFamilyModels) {
        z.ModelTable += Slot(m.number);
        z.ModelColumn1 += Slot(std::to_string(m.camSystems));
        z.ModelColumn2 += Slot(std::to_string(m.machineValue));
        z.ModelColumn3 += Slot(m.comb ? "1" : "0");
        z.ModelCodes += Slot(m.code);
        z.SystemCounts.set(static_cast<size_t>(m.camSystems));
    }
    z.DefaultModel = kDefaultModel;
}

const std::string* Column(int column)
{
    switch (column) {
    case 1: return &ZrVar.ModelColumn1;
    case 2: return &ZrVar.ModelColumn2;
    case 3: return &ZrVar.ModelColumn3;
    default: return nullptr;
    }
}
}  // namespace

void SetDefaults()
{
    // The bridge's run flags carry over from one job to the next, and the
    // reset is told the number of systems just before it runs: neither is a
    // default.
    uint8_t runFlag = ZrVar.RunFlag;
    uint8_t clearFlag = ZrVar.ClearFlag;
    uint8_t systems = ZrVar.Systems;
    ZrVar = t_K8_heap_var{};
    t_K8_heap_var& z = ZrVar;
    z.RunFlag = runFlag;
    z.ClearFlag = clearFlag;
    z.Systems = systems;

    z.Status = 255;
    z.CommentSet = Range(151, 157) | Set({159, 160});
    z.ReInitSet = Range(1, 7) | Set({9, 10, 12}) | z.CommentSet;
    z.LevelSet = Set({12});
    z.SystemSelectorSet = Range('G', 'O');
    z.Set7172 = Set({71, 72});

    z.Symbols = "VO*()+/^<>=#IX.-%&$ABCDEFGHJKLMN";
    FillModelTable(z);  // also the allowed numbers of cam systems

    z.GaugeSet = Set({2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 25});
    z.GaugeText = "2 3 4 5 6 7 8 10 12 14 25";
    z.GaugeLetters = "a c d e f g h j  l  n  b ";

    z.CarrierListNumber = 10;
    z.FfMinText = " FF MIN = ";
    z.FfMaxText = " FF MAX = ";
    z.FfDisText = " FF DIS = ";
    z.FfMinDefault = 5;
    z.FfMaxDefault = 100;
    z.FfDisDefault = 2;

    z.SheetKeys = {"->",    "FF",    "WA=",   "ST=",   "LB=", "WE=", "HC=",  "TZ S=", "TZ U=",
                   "TZ -=", "KOPP=", "HUB =", "<>  =", "mm",  "N ",  "Comb", "ZR "};

    z.Level = 1;
    z.MachineValue = 1;
    z.TakeDownColumns = 0;
    z.TargetFolder = "C:\\";
    z.TempFilesOpen = 0;

    z.CommentPoolFile = "K-Liste.TMP";
    z.SpecialFile = "SF-Liste.DB";
    z.SectionExt = ".DB";
    z.ListTempExt = ".TMP";
    z.CommentRecordSize = 81;
    z.SpecialRecordSize = 24;
    z.TempRecordCount = 20000;

    z.ListNames = {"K-Liste", "Z-Liste", "F-liste", "A-Liste", "V-Liste", "P-Liste", "N-Liste",
                   "W-Liste", "",        "S-Liste", "Y-Liste", "",        "C-Liste"};
    z.SectionCapacity.fill(0);
    for (int list : {1, 2, 3, 4, 5, 6, 7, 9, 10})
        z.SectionCapacity[static_cast<size_t>(list)] = 20000;
    z.SectionCapacity[12] = 1;

    z.ExpandModes910 = Set({9, 10});
    z.ExpandModes45 = Set({4, 5});
    z.ExpandModesAll = z.ExpandModes910 | z.ExpandModes45;
    z.SubSequenceGap = 1;

    // Until the bridge hands over a machine's table, every symbol owns four
    // F lines: front slot 1 and 2 at 4i + 1 and 4i + 3, back at 4i + 2 and
    // 4i + 4.
    for (int k = 1; k <= 20; ++k) {
        SetColourDensityTableLine(1, k, static_cast<uint16_t>(4 * (k - 1) + 1));
        SetColourDensityTableLine(2, k, static_cast<uint16_t>(4 * (k - 1) + 2));
    }
    z.BridgeValue = 2;
}

namespace {
size_t DensityTableOffset(int side, int k)
{
    return (size_t(side - 1) * 20 + size_t(k - 1)) * 2;
}
}  // namespace

uint16_t ColourDensityTableLine(int side, int k)
{
    if (side < 1 || side > 2 || k < 1 || k > 20)
        return 0;
    return get_u16(ZrVar.BridgeSettings.data(), DensityTableOffset(side, k));
}

void SetColourDensityTableLine(int side, int k, uint16_t line)
{
    if (side < 1 || side > 2 || k < 1 || k > 20)
        return;
    put_u16(ZrVar.BridgeSettings.data(), DensityTableOffset(side, k), line);
}

int FindModel(const std::string& model)
{
    // Only whole entries count: a part of a number, or a text across two
    // entries, is no model.
    if (model.size() != 3)
        return 0;
    const std::string& table = ZrVar.ModelTable;
    for (size_t p = 0; p + 3 <= table.size(); p += kModelSlot) {
        if (table.compare(p, 3, model) == 0)
            return static_cast<int>(p) + 1;
    }
    return 0;
}

char ModelColumnChar(int column, int pos)
{
    const std::string* text = Column(column);
    if (!text || pos < 1 || size_t(pos) > text->size())
        return ' ';
    return (*text)[size_t(pos) - 1];
}

std::string ModelColumnText(int column, int pos)
{
    const std::string* text = Column(column);
    if (!text || pos < 1 || size_t(pos) > text->size())
        return {};
    return text->substr(size_t(pos) - 1, 3);
}

int ModelColumnNumber(int column, int pos)
{
    const std::string text = ModelColumnText(column, pos);
    int value = 0;
    size_t i = text.find_first_not_of(' ');
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}
