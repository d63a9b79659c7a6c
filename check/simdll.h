#pragma once
// The program's side of the simulation library libVpSimMod.so: loading it,
// the record of its entry points, starting a run and one call per entry
// point. Messages go through the kernel host (P_WarningBox).
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "check/simdll_blocks.h"
#include "simlib/vpsimmod_abi.h"

// The module handle, then the 25 entry points by slot (vpsim::kEntries).
struct T_SimDllRecord {
    std::array<void*, 26> entry{};

    void* module() const { return entry[0]; }
    void* slot(int s) const { return entry[static_cast<size_t>(s)]; }
    // A record whose P_DllSpeicherFrei slot is empty is not usable.
    bool usable() const { return entry[vpsim::kSlotSpeicherFrei] != nullptr; }
    void clear() { entry.fill(nullptr); }
};
extern T_SimDllRecord SimDllRecord;

// How the library file is opened; tests put a fake in.
class SimDllLoader {
public:
    virtual ~SimDllLoader() = default;
    // An opaque module handle, nullptr when the file cannot be loaded.
    virtual void* load(const std::string& fileName) = 0;
    virtual void* resolve(void* module, const char* name) = 0;
    virtual void unload(void* module) = 0;
};
// The loader in use; the default tries ProgrammPfad, the executable's folder
// and then the bare name through the system search (dlopen).
SimDllLoader& simDllLoader();
void SetSimDllLoader(SimDllLoader* loader);  // nullptr: the default again

// Loads the library when the record holds no module yet, then resolves the
// entry points in order, and hands the handle table over. A load failure or
// a missing entry point (only P_DllShowJacquard may be missing, and our
// P_DllSetHandleTable must be there) shows "Datei:<path>" and "Fehler beim
// Laden der Dll", once per missing entry; the record is then not usable.
void LoadSimDll(T_SimDllRecord* record, const std::string& path);
// Loads, checks the version (36) and starts a run with the init block built
// from the program and the checker state. False with a message on failure.
bool StartSimDll(const std::string& machineTypeFile, uint16_t needleStart);
// At program end: frees the library when one is held and empties the record.
void FreeSimDll();

// Where the init block's side margin and marked rows come from: the
// checker's needle start sets the margin, the simulation window the rows.
void SetSimSideMarginProvider(std::function<uint16_t()> provider);
void SetSimMarkedRowsProvider(std::function<std::pair<uint16_t, uint16_t>()> provider);
// The settings StartSimDll hands to BuildDllInitBlock (needle start given).
SimInitSettings CurrentSimInitSettings(const std::string& machineTypeFile, uint16_t needleStart);

// The callbacks handed to the library (host side).
void P_CbTextUebersetzen(const char** text);
void P_PTestFortschritt(uint8_t subBar, uint16_t maximum, uint16_t position);
void P_PTestMeldung(void* object, const char* text);
// Where the callbacks end up: the export window installs both. Texts are
// UTF-8.
using SimProgressSink = std::function<void(bool subBar, uint16_t maximum, uint16_t position)>;
using SimMessageSink = std::function<void(const std::string& text)>;
void SetSimProgressSink(SimProgressSink sink);
void SetSimMessageSink(SimMessageSink sink);

// One call per entry point with its packed block; false when the record has
// no such entry point (nothing is called then).
bool CallDllVersNummer(uint8_t* block);
bool CallDllInit(uint8_t* block);
bool CallDllAddNZeile(uint8_t* block);
bool CallDllNListeEnde();
bool CallDllAddNeueZeile(uint8_t* block);
bool CallDllBeginnWs(uint8_t* block);
bool CallDllEndeWs(uint8_t* block);
bool CallDllAddSelektion(uint8_t* block);
bool CallDllAddFsDynamisch(uint8_t* block);
bool CallDllAddFf(uint8_t* block);
bool CallDllFfEndPosChg(uint8_t* block);
bool CallDllFfEinAus(uint8_t* block);
bool CallDllZeileFertig();
bool CallDllInfoEnde(uint8_t* block);
bool CallDllGetSimHoehe(uint8_t* block);
bool CallDllGetSimInfo(uint8_t* block);
bool CallDllShowJacquard(uint8_t* block);
bool CallDllGetSimFfInfo(uint8_t* block);
bool CallDllGetSimExtras(uint8_t* block);
bool CallDllSetFfBar(uint8_t* block);
bool CallDllGetSimSym(uint8_t* block);
bool CallDllGetKommentar(uint8_t* block);
bool CallDllSpeicherFrei();

// Typed calls for the windows: pack, call, read back. Without the library
// they answer with zeros and empty results.
uint16_t SimDllVersNummer();
bool SimDllAddNZeile(uint16_t needles, uint16_t wLine, uint16_t value, std::string_view comment);
bool SimDllNListeEnde();
bool SimDllBeginnWs(bool notNested, uint16_t wLine, uint16_t value, std::string_view comment);
bool SimDllEndeWs(bool notNested);
bool SimDllAddNeueZeile(const T_DllNeueZeile& line);
bool SimDllAddSelektion(const std::vector<uint8_t>& front, const std::vector<uint8_t>& back,
                        uint16_t centre = kNoCentreRacking);
bool SimDllAddFsDynamisch(uint8_t side, const std::vector<uint16_t>& densities);
bool SimDllAddFf(const T_DllFfMove& move);
bool SimDllFfEndPosChg(uint16_t id, uint16_t end, uint8_t side);
bool SimDllFfEinAus(uint8_t on);
bool SimDllZeileFertig();
// A run cut short (the checker stopped at a fatal message) is never usable,
// whatever a library answers.
SimInfoEnde SimDllInfoEnde(uint16_t leftmost, bool cutShort = false);
uint16_t SimDllGetSimHoehe();
bool SimDllGetSimInfo(uint16_t rowFromTop, uint16_t cellWidth, uint16_t row, uint8_t oldYarnHidden,
                      uint8_t densityHidden, SimDllRow& out);
bool SimDllShowJacquard(uint8_t view, uint8_t side);
uint8_t SimDllGetSimFfInfo(uint8_t cell);
SimExtras SimDllGetSimExtras(bool withinRows, uint8_t cell, uint16_t column, uint16_t row);
bool SimDllSetFfBar(uint16_t position);
std::vector<uint8_t> SimDllGetSimSym();
std::string SimDllGetKommentar(uint16_t row);
bool SimDllSpeicherFrei();
