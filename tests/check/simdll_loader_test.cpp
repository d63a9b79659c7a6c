// Loading the simulation library through a fake loader: resolve order,
// slots, missing entry points, the version check and the start.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "check/dll_handles.h"
#include "check/simdll.h"
#include "kernel/model/bytes.h"
#include "kernel/model/globals.h"
#include "kernel/model/programmodel.h"
#include "tests/support/recording_host.h"

namespace {

std::vector<std::string> calls;
uint16_t fakeVersion = 36;
const vpsim::T_DllHandleTable* handedTable = nullptr;
std::vector<uint8_t> initBlock;

void FakeBlock(const char* name, uint8_t*)
{
    calls.push_back(name);
}

#define FAKE_ENTRY(Name) \
    void Fake_##Name(uint8_t* b) { FakeBlock(#Name, b); }
#define FAKE_PLAIN(Name) \
    void Fake_##Name() { calls.push_back(#Name); }

void Fake_P_DllVersNummer(uint8_t* b)
{
    calls.push_back("P_DllVersNummer");
    put_u16(b, 0, fakeVersion);
}
void Fake_P_DllInit(uint8_t* b)
{
    calls.push_back("P_DllInit");
    initBlock.assign(b, b + get_u16(b, 0));
}
FAKE_ENTRY(P_DllAddNZeile)
FAKE_PLAIN(P_DllNListeEnde)
FAKE_ENTRY(P_DllAddNeueZeile)
FAKE_ENTRY(P_DllBeginnWs)
FAKE_ENTRY(P_DllEndeWs)
FAKE_ENTRY(P_DllAddSelektion)
FAKE_ENTRY(P_DllAddFsDynamisch)
FAKE_ENTRY(P_DllAddFf)
FAKE_ENTRY(P_DllFfEndPosChg)
FAKE_ENTRY(P_DllFfEinAus)
FAKE_PLAIN(P_DllZeileFertig)
// A library that knows nothing of a run cut short: always a usable file
// of 7 strokes.
void Fake_P_DllInfoEnde(uint8_t* b)
{
    calls.push_back("P_DllInfoEnde");
    b[4] = 1;
    put_u16(b, 5, 7);
}
FAKE_ENTRY(P_DllGetSimHoehe)
FAKE_ENTRY(P_DllGetSimInfo)
FAKE_ENTRY(P_DllMschnBild)
FAKE_ENTRY(P_DllShowJacquard)
FAKE_ENTRY(P_DllCrashTesten)
FAKE_ENTRY(P_DllGetSimFfInfo)
FAKE_ENTRY(P_DllGetSimExtras)
FAKE_ENTRY(P_DllSetFfBar)
FAKE_ENTRY(P_DllGetSimSym)
FAKE_ENTRY(P_DllGetKommentar)
FAKE_PLAIN(P_DllSpeicherFrei)
void Fake_P_DllSetHandleTable(const vpsim::T_DllHandleTable* t)
{
    calls.push_back("P_DllSetHandleTable");
    handedTable = t;
}

struct Export {
    const char* name;
    void* address;
};
#define EXPORT(Name) {#Name, reinterpret_cast<void*>(&Fake_##Name)}
const Export kExports[] = {
    EXPORT(P_DllVersNummer),   EXPORT(P_DllInit),         EXPORT(P_DllAddNZeile),     EXPORT(P_DllNListeEnde),
    EXPORT(P_DllAddNeueZeile), EXPORT(P_DllBeginnWs),     EXPORT(P_DllEndeWs),        EXPORT(P_DllAddSelektion),
    EXPORT(P_DllAddFsDynamisch), EXPORT(P_DllAddFf),      EXPORT(P_DllFfEndPosChg),   EXPORT(P_DllFfEinAus),
    EXPORT(P_DllZeileFertig),  EXPORT(P_DllInfoEnde),     EXPORT(P_DllGetSimHoehe),   EXPORT(P_DllGetSimInfo),
    EXPORT(P_DllMschnBild),    EXPORT(P_DllShowJacquard), EXPORT(P_DllCrashTesten),   EXPORT(P_DllGetSimFfInfo),
    EXPORT(P_DllGetSimExtras), EXPORT(P_DllSetFfBar),     EXPORT(P_DllGetSimSym),     EXPORT(P_DllGetKommentar),
    EXPORT(P_DllSpeicherFrei), EXPORT(P_DllSetHandleTable),
};

class FakeLoader : public SimDllLoader {
public:
    int loads = 0;
    int unloads = 0;
    bool failLoad = false;
    std::set<std::string> missing;
    std::vector<std::string> asked;
    std::string loadedName;
    int module = 0;

    void* load(const std::string& fileName) override
    {
        ++loads;
        loadedName = fileName;
        return failLoad ? nullptr : &module;
    }
    void* resolve(void* m, const char* name) override
    {
        EXPECT_EQ(m, &module);
        asked.push_back(name);
        if (missing.count(name))
            return nullptr;
        for (const auto& e : kExports)
            if (std::string(e.name) == name)
                return e.address;
        return nullptr;
    }
    void unload(void* m) override
    {
        EXPECT_EQ(m, &module);
        ++unloads;
    }
};

void* Address(const char* name)
{
    for (const auto& e : kExports)
        if (std::string(e.name) == name)
            return e.address;
    return nullptr;
}

class SimDllLoaderTest : public testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        initBlock.clear();
        handedTable = nullptr;
        fakeVersion = 36;
        SetSimDllLoader(&loader);
    }
    void TearDown() override
    {
        FreeSimDll();
        SetSimDllLoader(nullptr);
    }
    FakeLoader loader;
    ScopedRecordingHost host;
};

const std::string kLoadMessage = "Datei:libVpSimMod.so\nFehler beim Laden der Dll";

}  // namespace

TEST_F(SimDllLoaderTest, ResolvesInTableOrderThenHandsTheTableOver)
{
    LoadSimDll(&SimDllRecord, "libVpSimMod.so");
    ASSERT_EQ(loader.asked.size(), 26u);
    const char* order[] = {"P_DllVersNummer", "P_DllInit", "P_DllAddNZeile", "P_DllNListeEnde", "P_DllAddNeueZeile",
                           "P_DllBeginnWs", "P_DllEndeWs", "P_DllAddSelektion", "P_DllAddFsDynamisch",
                           "P_DllAddFf", "P_DllFfEndPosChg", "P_DllFfEinAus", "P_DllZeileFertig", "P_DllInfoEnde",
                           "P_DllGetSimHoehe", "P_DllGetSimInfo", "P_DllMschnBild", "P_DllShowJacquard",
                           "P_DllCrashTesten", "P_DllGetSimFfInfo", "P_DllGetSimExtras", "P_DllSetFfBar",
                           "P_DllGetSimSym", "P_DllGetKommentar", "P_DllSpeicherFrei", "P_DllSetHandleTable"};
    for (size_t i = 0; i < 26; ++i)
        EXPECT_EQ(loader.asked[i], order[i]) << i;

    EXPECT_EQ(SimDllRecord.module(), &loader.module);
    EXPECT_EQ(SimDllRecord.slot(15), Address("P_DllShowJacquard"));
    EXPECT_EQ(SimDllRecord.slot(16), Address("P_DllMschnBild"));
    EXPECT_EQ(SimDllRecord.slot(17), Address("P_DllCrashTesten"));
    EXPECT_EQ(SimDllRecord.slot(18), Address("P_DllGetSimHoehe"));
    EXPECT_EQ(SimDllRecord.slot(19), Address("P_DllGetSimInfo"));
    EXPECT_EQ(SimDllRecord.slot(1), Address("P_DllVersNummer"));
    EXPECT_EQ(SimDllRecord.slot(25), Address("P_DllSpeicherFrei"));
    EXPECT_TRUE(SimDllRecord.usable());
    EXPECT_EQ(handedTable, SimDllHandleTable());
    EXPECT_TRUE(host.host.messages().empty());

    // A held module is not loaded again; FreeSimDll unloads and empties.
    LoadSimDll(&SimDllRecord, "libVpSimMod.so");
    EXPECT_EQ(loader.loads, 1);
    FreeSimDll();
    EXPECT_EQ(loader.unloads, 1);
    for (void* e : SimDllRecord.entry)
        EXPECT_EQ(e, nullptr);
    FreeSimDll();
    EXPECT_EQ(loader.unloads, 1);
}

TEST_F(SimDllLoaderTest, LoadFailureAndMissingRecordGiveTheirMessages)
{
    loader.failLoad = true;
    LoadSimDll(&SimDllRecord, "libVpSimMod.so");
    EXPECT_EQ(host.host.messages(), std::vector<std::string>{kLoadMessage});
    EXPECT_FALSE(SimDllRecord.usable());
    EXPECT_EQ(SimDllRecord.module(), nullptr);
    EXPECT_TRUE(loader.asked.empty());

    host.host.calls.clear();
    LoadSimDll(nullptr, "libVpSimMod.so");
    EXPECT_EQ(host.host.messages(), std::vector<std::string>{"DllProc ist ein leerer Zeiger hat keinen Inhalt"});
    EXPECT_EQ(host.host.calls[0].kind, MsgKind::Warning);
}

TEST_F(SimDllLoaderTest, EveryMissingEntryGivesOneMessageAndTheRecordIsNotUsable)
{
    loader.missing = {"P_DllZeileFertig", "P_DllCrashTesten"};
    LoadSimDll(&SimDllRecord, "libVpSimMod.so");
    EXPECT_EQ(host.host.messages(), (std::vector<std::string>{kLoadMessage, kLoadMessage}));
    EXPECT_FALSE(SimDllRecord.usable());
    EXPECT_EQ(handedTable, nullptr);
    EXPECT_FALSE(StartSimDll("", 40));
    EXPECT_TRUE(std::find(calls.begin(), calls.end(), "P_DllVersNummer") == calls.end());
}

TEST_F(SimDllLoaderTest, WithoutTheReleaseEntryTheRecordIsNotUsable)
{
    loader.missing = {"P_DllSpeicherFrei"};
    LoadSimDll(&SimDllRecord, "libVpSimMod.so");
    EXPECT_EQ(host.host.messages(), std::vector<std::string>{kLoadMessage});
    EXPECT_NE(SimDllRecord.slot(1), nullptr);
    EXPECT_FALSE(SimDllRecord.usable());
    EXPECT_FALSE(SimDllSpeicherFrei());
}

TEST_F(SimDllLoaderTest, OnlyTheJacquardSwitchIsOptional)
{
    loader.missing = {"P_DllShowJacquard"};
    ASSERT_TRUE(StartSimDll("", 40));
    EXPECT_TRUE(host.host.messages().empty());
    EXPECT_EQ(SimDllRecord.slot(vpsim::kSlotShowJacquard), nullptr);
    EXPECT_FALSE(SimDllShowJacquard(1, 1));

    // A library without our handle-table export counts as not loaded.
    FreeSimDll();
    loader.missing = {"P_DllSetHandleTable"};
    EXPECT_FALSE(StartSimDll("", 40));
    EXPECT_EQ(host.host.messages(), std::vector<std::string>{kLoadMessage});
}

TEST_F(SimDllLoaderTest, OnlyVersion36IsAcceptedAndTheMessageNamesTheLibrary)
{
    for (uint16_t v : {35, 37, 0}) {
        FreeSimDll();
        calls.clear();
        host.host.calls.clear();
        fakeVersion = v;
        EXPECT_FALSE(StartSimDll("/x/T.D10", 40));
        EXPECT_EQ(host.host.messages(), std::vector<std::string>{"Datei:libVpSimMod.so\nDll hat falsche Version"});
        EXPECT_EQ(calls, (std::vector<std::string>{"P_DllSetHandleTable", "P_DllVersNummer"}));
    }
    FreeSimDll();
    calls.clear();
    fakeVersion = 36;
    EXPECT_TRUE(StartSimDll("", 40));
    EXPECT_EQ(calls, (std::vector<std::string>{"P_DllSetHandleTable", "P_DllVersNummer", "P_DllInit"}));
    EXPECT_EQ(loader.loadedName, "libVpSimMod.so");
}

TEST_F(SimDllLoaderTest, TypedCallsReachTheirEntriesAndNeverTheUncalledOnes)
{
    ASSERT_TRUE(StartSimDll("", 8));
    ASSERT_EQ(initBlock.size(), 81u);
    calls.clear();
    SimDllAddNZeile(8, 0, 1, "N");
    SimDllNListeEnde();
    SimDllBeginnWs(true, 1, 2, "W");
    SimDllAddNeueZeile(T_DllNeueZeile{});
    SimDllAddSelektion({}, {});
    SimDllAddFsDynamisch(0, {});
    SimDllAddFf(T_DllFfMove{});
    SimDllFfEndPosChg(1, 2, 0);
    SimDllZeileFertig();
    SimDllEndeWs(true);
    SimDllInfoEnde(0);
    SimDllFfEinAus(1);
    SimDllGetSimHoehe();
    SimDllRow row;
    SimDllGetSimInfo(1, 8, 1, 1, 1, row);
    SimDllShowJacquard(1, 0);
    SimDllGetSimFfInfo(32);
    SimDllGetSimExtras(true, 32, 1, 1);
    SimDllSetFfBar(3);
    SimDllGetSimSym();
    SimDllGetKommentar(1);
    SimDllSpeicherFrei();
    const std::vector<std::string> expected = {
        "P_DllAddNZeile",   "P_DllNListeEnde",  "P_DllBeginnWs",     "P_DllAddNeueZeile", "P_DllAddSelektion",
        "P_DllAddFsDynamisch", "P_DllAddFf",    "P_DllFfEndPosChg",  "P_DllZeileFertig",  "P_DllEndeWs",
        "P_DllInfoEnde",    "P_DllFfEinAus",    "P_DllGetSimHoehe",  "P_DllGetSimInfo",   "P_DllShowJacquard",
        "P_DllGetSimFfInfo", "P_DllGetSimExtras", "P_DllSetFfBar",   "P_DllGetSimSym",    "P_DllGetKommentar",
        "P_DllSpeicherFrei"};
    EXPECT_EQ(calls, expected);
    // The fake leaves every returned handle at 0: nothing is read.
    EXPECT_TRUE(row.shape.empty());
    EXPECT_TRUE(row.third.empty());
    // Texts and arrays were published for the call only.
    EXPECT_EQ(SimDllHandles().live(), 4u);  // the init block's callbacks and object
}

TEST_F(SimDllLoaderTest, ARunCutShortIsNeverUsable)
{
    ASSERT_TRUE(StartSimDll("", 8));
    const SimInfoEnde whole = SimDllInfoEnde(0);
    EXPECT_TRUE(whole.usable);
    EXPECT_EQ(whole.strokes, 7);
    const SimInfoEnde cut = SimDllInfoEnde(0, true);
    EXPECT_FALSE(cut.usable);
    EXPECT_EQ(cut.strokes, 7);
}

TEST_F(SimDllLoaderTest, WithoutLibraryTheTypedCallsAnswerEmpty)
{
    EXPECT_EQ(SimDllGetSimHoehe(), 0);
    EXPECT_FALSE(SimDllZeileFertig());
    EXPECT_FALSE(SimDllInfoEnde(0).usable);
    EXPECT_TRUE(SimDllGetSimSym().empty());
    EXPECT_EQ(SimDllGetKommentar(1), "");
    EXPECT_TRUE(calls.empty());
}
