#include "check/simdll.h"

#include <cstring>
#include <tuple>

#include "check/dll_handles.h"
#include "check/export_options.h"
#include "kernel/language/language.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "kernel/services/services.h"
#include "platform/codepage.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"

T_SimDllRecord SimDllRecord;

namespace {

class DlopenLoader : public SimDllLoader {
public:
    void* load(const std::string& fileName) override
    {
        if (!library_.Load(fileName, {ProgrammPfad, ExecutableFolder()}))
            return nullptr;
        return &library_;
    }
    void* resolve(void* module, const char* name) override
    {
        return module == &library_ ? library_.Symbol(name) : nullptr;
    }
    void unload(void* module) override
    {
        if (module == &library_)
            library_.Free();
    }

private:
    DynamicLibrary library_;
};

DlopenLoader defaultLoader;
SimDllLoader* currentLoader = &defaultLoader;

std::function<uint16_t()> marginProvider;
std::function<std::pair<uint16_t, uint16_t>()> marksProvider;
SimProgressSink progressSink;
SimMessageSink messageSink;

// The translate callback's answer: valid until its next call.
std::string translated;
// What the message callback's object handle names.
struct MessageObject {
} messageObject;
// The init block's callbacks and object, published until the next start or
// the library's release.
SimCallbackHandles initHandles;

void WithdrawInitHandles()
{
    for (uint32_t* h : {&initHandles.translate, &initHandles.progress, &initHandles.message, &initHandles.object}) {
        SimDllHandles().withdraw(*h);
        *h = 0;
    }
}

template <class F>
uint32_t PublishFunction(F f)
{
    return SimDllHandles().publish(reinterpret_cast<const void*>(f));
}

void ShowLibraryMessage(const std::string& path, const std::string& what)
{
    P_WarningBox(F_TRANS("Datei") + ":" + path + "\n" + F_TRANS(what));
}

vpsim::BlockProc BlockEntry(vpsim::Entry e)
{
    return reinterpret_cast<vpsim::BlockProc>(SimDllRecord.slot(vpsim::kEntries[e].slot));
}

vpsim::PlainProc PlainEntry(vpsim::Entry e)
{
    return reinterpret_cast<vpsim::PlainProc>(SimDllRecord.slot(vpsim::kEntries[e].slot));
}

bool CallBlock(vpsim::Entry e, uint8_t* block)
{
    vpsim::BlockProc f = BlockEntry(e);
    if (!f || !block)
        return false;
    f(block);
    return true;
}

bool CallPlain(vpsim::Entry e)
{
    vpsim::PlainProc f = PlainEntry(e);
    if (!f)
        return false;
    f();
    return true;
}

}  // namespace

SimDllLoader& simDllLoader()
{
    return *currentLoader;
}

void SetSimDllLoader(SimDllLoader* loader)
{
    currentLoader = loader ? loader : &defaultLoader;
}

void LoadSimDll(T_SimDllRecord* record, const std::string& path)
{
    if (!record) {
        P_WarningBox(F_TRANS("DllProc ist ein leerer Zeiger hat keinen Inhalt"));
        return;
    }
    SimDllLoader& loader = simDllLoader();
    if (!record->module()) {
        void* module = loader.load(path);
        if (!module) {
            ShowLibraryMessage(path, "Fehler beim Laden der Dll");
            return;
        }
        record->entry[0] = module;
    }
    bool complete = true;
    for (const auto& e : vpsim::kEntries) {
        void* address = loader.resolve(record->module(), e.name);
        record->entry[static_cast<size_t>(e.slot)] = address;
        if (!address && e.required) {
            ShowLibraryMessage(path, "Fehler beim Laden der Dll");
            complete = false;
        }
    }
    auto setTable = reinterpret_cast<vpsim::SetHandleTableProc>(
        loader.resolve(record->module(), vpsim::kSetHandleTableName));
    if (!setTable) {
        ShowLibraryMessage(path, "Fehler beim Laden der Dll");
        complete = false;
    }
    // Cleared after the loop: resolving P_DllSpeicherFrei last must not make
    // a record with a hole usable again.
    if (!complete) {
        record->entry[vpsim::kSlotSpeicherFrei] = nullptr;
        return;
    }
    setTable(SimDllHandleTable());
}

void SetSimSideMarginProvider(std::function<uint16_t()> provider)
{
    marginProvider = std::move(provider);
}

void SetSimMarkedRowsProvider(std::function<std::pair<uint16_t, uint16_t>()> provider)
{
    marksProvider = std::move(provider);
}

SimInitSettings CurrentSimInitSettings(const std::string& machineTypeFile, uint16_t needleStart)
{
    SimInitSettings s;
    s.testModus = static_cast<uint8_t>(TestModus);
    s.needleStart = needleStart;
    s.sideMargin = marginProvider ? marginProvider() : 0;
    s.ffTypTrans = ExportFfTypTrans;
    s.gaugeChange = ExportGgChange;
    s.wandelPath = TempPfad + "Wandel.Sma";
    s.targetFile = machineTypeFile;
    if (marksProvider)
        std::tie(s.markStart, s.markEnd) = marksProvider();
    s.callbacks = initHandles;
    return s;
}

bool StartSimDll(const std::string& machineTypeFile, uint16_t needleStart)
{
    LoadSimDll(&SimDllRecord, vpsim::kSoName);
    if (!SimDllRecord.usable())
        return false;
    auto version = PackDllVersNummer();
    CallDllVersNummer(version.data());
    if (get_u16(version.data(), 0) != vpsim::kVersion) {
        // Names the library: the machine-type file has nothing to do with it.
        ShowLibraryMessage(vpsim::kSoName, "Dll hat falsche Version");
        return false;
    }
    SetSimDllMachineWidth(needleStart);
    WithdrawInitHandles();
    initHandles.translate = PublishFunction(&P_CbTextUebersetzen);
    initHandles.progress = PublishFunction(&P_PTestFortschritt);
    initHandles.message = PublishFunction(&P_PTestMeldung);
    initHandles.object = SimDllHandles().publish(&messageObject);
    SimDllCallScope scope(needleStart);
    auto block = BuildDllInitBlock(ProgrammKopf, RuestSchema, CurrentSimInitSettings(machineTypeFile, needleStart),
                                   scope);
    CallDllInit(block.data());
    return true;
}

void FreeSimDll()
{
    if (SimDllRecord.module())
        simDllLoader().unload(SimDllRecord.module());
    SimDllRecord.clear();
    WithdrawInitHandles();
    // Whatever the library published died with it.
    SimDllHandles().clear();
    SetSimDllMachineWidth(0);
}

// ---------------------------------------------------------------------------
// Callbacks

void P_CbTextUebersetzen(const char** text)
{
    if (!text)
        return;
    std::string in = *text ? std::string(*text, ::strnlen(*text, kDllTextCap)) : std::string();
    translated = Utf8ToCp1252(F_TRANS(Cp1252ToUtf8(in)));
    *text = translated.c_str();
}

void P_PTestFortschritt(uint8_t subBar, uint16_t maximum, uint16_t position)
{
    if (progressSink)
        progressSink(subBar != 0, maximum, position);
}

void P_PTestMeldung(void*, const char* text)
{
    std::string in = text ? std::string(text, ::strnlen(text, kDllTextCap)) : std::string();
    if (messageSink)
        messageSink(Cp1252ToUtf8(in));
}

void SetSimProgressSink(SimProgressSink sink)
{
    progressSink = std::move(sink);
}

void SetSimMessageSink(SimMessageSink sink)
{
    messageSink = std::move(sink);
}

// ---------------------------------------------------------------------------
// Calls

using vpsim::Entry;

bool CallDllVersNummer(uint8_t* block) { return CallBlock(vpsim::kVersNummer, block); }
bool CallDllInit(uint8_t* block) { return CallBlock(vpsim::kInit, block); }
bool CallDllAddNZeile(uint8_t* block) { return CallBlock(vpsim::kAddNZeile, block); }
bool CallDllNListeEnde() { return CallPlain(vpsim::kNListeEnde); }
bool CallDllAddNeueZeile(uint8_t* block) { return CallBlock(vpsim::kAddNeueZeile, block); }
bool CallDllBeginnWs(uint8_t* block) { return CallBlock(vpsim::kBeginnWs, block); }
bool CallDllEndeWs(uint8_t* block) { return CallBlock(vpsim::kEndeWs, block); }
bool CallDllAddSelektion(uint8_t* block) { return CallBlock(vpsim::kAddSelektion, block); }
bool CallDllAddFsDynamisch(uint8_t* block) { return CallBlock(vpsim::kAddFsDynamisch, block); }
bool CallDllAddFf(uint8_t* block) { return CallBlock(vpsim::kAddFf, block); }
bool CallDllFfEndPosChg(uint8_t* block) { return CallBlock(vpsim::kFfEndPosChg, block); }
bool CallDllFfEinAus(uint8_t* block) { return CallBlock(vpsim::kFfEinAus, block); }
bool CallDllZeileFertig() { return CallPlain(vpsim::kZeileFertig); }
bool CallDllInfoEnde(uint8_t* block) { return CallBlock(vpsim::kInfoEnde, block); }
bool CallDllGetSimHoehe(uint8_t* block) { return CallBlock(vpsim::kGetSimHoehe, block); }
bool CallDllGetSimInfo(uint8_t* block) { return CallBlock(vpsim::kGetSimInfo, block); }
bool CallDllShowJacquard(uint8_t* block) { return CallBlock(vpsim::kShowJacquard, block); }
bool CallDllGetSimFfInfo(uint8_t* block) { return CallBlock(vpsim::kGetSimFfInfo, block); }
bool CallDllGetSimExtras(uint8_t* block) { return CallBlock(vpsim::kGetSimExtras, block); }
bool CallDllSetFfBar(uint8_t* block) { return CallBlock(vpsim::kSetFfBar, block); }
bool CallDllGetSimSym(uint8_t* block) { return CallBlock(vpsim::kGetSimSym, block); }
bool CallDllGetKommentar(uint8_t* block) { return CallBlock(vpsim::kGetKommentar, block); }
bool CallDllSpeicherFrei() { return CallPlain(vpsim::kSpeicherFrei); }

// ---------------------------------------------------------------------------
// Typed calls

uint16_t SimDllVersNummer()
{
    auto b = PackDllVersNummer();
    return CallDllVersNummer(b.data()) ? get_u16(b.data(), 0) : 0;
}

bool SimDllAddNZeile(uint16_t needles, uint16_t wLine, uint16_t value, std::string_view comment)
{
    SimDllCallScope scope;
    auto b = PackDllAddNZeile(needles, wLine, value, comment, scope);
    return CallDllAddNZeile(b.data());
}

bool SimDllNListeEnde()
{
    return CallDllNListeEnde();
}

bool SimDllBeginnWs(bool notNested, uint16_t wLine, uint16_t value, std::string_view comment)
{
    SimDllCallScope scope;
    auto b = PackDllBeginnWs(notNested, wLine, value, comment, scope);
    return CallDllBeginnWs(b.data());
}

bool SimDllEndeWs(bool notNested)
{
    auto b = PackDllEndeWs(notNested);
    return CallDllEndeWs(b.data());
}

bool SimDllAddNeueZeile(const T_DllNeueZeile& line)
{
    SimDllCallScope scope;
    auto b = PackDllNeueZeile(line, scope);
    return CallDllAddNeueZeile(b.data());
}

bool SimDllAddSelektion(const std::vector<uint8_t>& front, const std::vector<uint8_t>& back, uint16_t centre)
{
    SimDllCallScope scope;
    auto b = PackDllAddSelektion(front.data(), front.size(), back.data(), back.size(), centre, scope);
    return CallDllAddSelektion(b.data());
}

bool SimDllAddFsDynamisch(uint8_t side, const std::vector<uint16_t>& densities)
{
    SimDllCallScope scope;
    auto b = PackDllAddFsDynamisch(side, densities.data(), densities.size(), scope);
    return CallDllAddFsDynamisch(b.data());
}

bool SimDllAddFf(const T_DllFfMove& move)
{
    auto b = PackDllAddFf(move);
    return CallDllAddFf(b.data());
}

bool SimDllFfEndPosChg(uint16_t id, uint16_t end, uint8_t side)
{
    auto b = PackDllFfEndPosChg(id, end, side);
    return CallDllFfEndPosChg(b.data());
}

bool SimDllFfEinAus(uint8_t on)
{
    auto b = PackDllFfEinAus(on);
    return CallDllFfEinAus(b.data());
}

bool SimDllZeileFertig()
{
    return CallDllZeileFertig();
}

SimInfoEnde SimDllInfoEnde(uint16_t leftmost, bool cutShort)
{
    auto b = PackDllInfoEnde(leftmost, cutShort);
    if (!CallDllInfoEnde(b.data()))
        return SimInfoEnde{};
    SimInfoEnde end = ReadDllInfoEnde(b.data());
    if (cutShort)
        end.usable = false;
    return end;
}

uint16_t SimDllGetSimHoehe()
{
    auto b = PackDllGetSimHoehe();
    return CallDllGetSimHoehe(b.data()) ? ReadDllSimHoehe(b.data()) : 0;
}

bool SimDllGetSimInfo(uint16_t rowFromTop, uint16_t cellWidth, uint16_t row, uint8_t oldYarnHidden,
                      uint8_t densityHidden, SimDllRow& out)
{
    auto b = PackDllGetSimInfo(rowFromTop, cellWidth, row, oldYarnHidden, densityHidden);
    if (!CallDllGetSimInfo(b.data())) {
        out = SimDllRow{};
        return false;
    }
    ReadDllSimInfo(b.data(), out);
    return true;
}

bool SimDllShowJacquard(uint8_t view, uint8_t side)
{
    auto b = PackDllShowJacquard(view, side);
    return CallDllShowJacquard(b.data());
}

uint8_t SimDllGetSimFfInfo(uint8_t cell)
{
    auto b = PackDllGetSimFfInfo(cell);
    return CallDllGetSimFfInfo(b.data()) ? ReadDllSimFfInfo(b.data()) : 0;
}

SimExtras SimDllGetSimExtras(bool withinRows, uint8_t cell, uint16_t column, uint16_t row)
{
    auto b = PackDllGetSimExtras(withinRows, cell, column, row);
    return CallDllGetSimExtras(b.data()) ? ReadDllSimExtras(b.data()) : SimExtras{};
}

bool SimDllSetFfBar(uint16_t position)
{
    auto b = PackDllSetFfBar(position);
    return CallDllSetFfBar(b.data());
}

std::vector<uint8_t> SimDllGetSimSym()
{
    std::vector<uint8_t> shapes;
    auto b = PackDllGetSimSym();
    if (CallDllGetSimSym(b.data()))
        ReadDllSimSym(b.data(), shapes);
    return shapes;
}

std::string SimDllGetKommentar(uint16_t row)
{
    auto b = PackDllGetKommentar(row);
    return CallDllGetKommentar(b.data()) ? ReadDllKommentar(b.data()) : std::string();
}

bool SimDllSpeicherFrei()
{
    return CallDllSpeicherFrei();
}
