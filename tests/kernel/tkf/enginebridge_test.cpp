// The engine bridge: the codes it sends, and saves that fail without
// touching the destination.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/tkf/enginebridge.h"
#include "platform/codepage.h"
#include "tests/kernel/tkf/tkf_testing.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"
#include "tests/tools/programdump.h"

namespace fs = std::filesystem;
using namespace tkftest;

namespace {

// Records every block the bridge sends (code/sub/selector, line, text),
// then lets the dispatcher carry it out.
struct Trace {
    std::vector<std::string> sent;
    EngineBridge::DispatchFunction Dispatch()
    {
        return [this](ProgramCommandBlock& b) {
            std::ostringstream s;
            s << int(b.Code()) << "/" << int(b.Sub()) << "/" << int(b.Selector()) << " " << b.Line();
            const uint8_t code = b.Code();
            if (code == 99 || code == 100 || (code > 100 && code < 150) || code == 204)
                s << " " << Cp1252ToUtf8(b.Text());
            sent.push_back(s.str());
            return ProgramDispatch(b);
        };
    }
    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        out.swap(sent);
        return out;
    }
};

std::vector<std::string> Preparation(const std::string& folder, int systems)
{
    const std::string s = std::to_string(systems);
    return {"200/1/100 0",
            "112/0/0 0 " + folder + "C-Liste.TMP",
            "12/0/41 1",
            "110/0/0 " + s + " " + folder + "Y-Liste.TMP",
            "109/0/0 " + s + " " + folder + "S-Liste.TMP",
            "107/0/0 " + s + " " + folder + "W-Liste.TMP",
            "106/0/0 " + s + " " + folder + "N-Liste.TMP",
            "105/0/0 " + s + " " + folder + "P-Liste.TMP",
            "104/0/0 " + s + " " + folder + "V-Liste.TMP",
            "103/0/0 " + s + " " + folder + "A-Liste.TMP",
            "102/0/0 " + s + " " + folder + "F-liste.TMP",
            "101/0/0 " + s + " " + folder + "Z-Liste.TMP"};
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

// Check 12: the codes of compile, save and load.
TEST(EngineBridge, CodeSequences)
{
    SetMachine("832", 8);
    // The compile runs on the script the editor holds: a header of its own.
    ScopedRecordingHost host;
    host.host.script = "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=832;\r\nEND;\r\n";
    Trace trace;
    EngineBridge bridge(trace.Dispatch());
    const std::string work = TestHome() + "work";  // no separator yet
    const std::string script = TestHome() + "scripts/Compile.Skx";
    CompileSettings settings;
    settings.table[1][19] = 78;
    settings.increment = 3;

    EXPECT_EQ(bridge.P_RunScriptCompiler(work, script, true, settings), 0);
    const std::vector<std::string> compile =
        Join(Preparation(work + "/", 2), {"206/0/0 0", "100/0/100 0 " + script, "202/0/0 0", "201/0/0 0"});
    EXPECT_EQ(trace.Take(), Join({"200/0/0 0"}, compile));
    EXPECT_EQ(ZrVar.StatementFile, TestHome() + "scripts/STR_PHS6.TMP");
    EXPECT_EQ(ZrVar.BridgeValue, 3);
    EXPECT_EQ(ZrVar.BridgeSettings[2 * 39], 78);
    EXPECT_EQ(ZrVar.ClearFlag, 1);
    EXPECT_TRUE(fs::is_directory(work));

    // The second compile: no first-call reset; without the clear flag no 206.
    EXPECT_EQ(bridge.P_RunScriptCompiler(work + "/", script, false, settings), 0);
    EXPECT_EQ(trace.Take(),
              Join(Preparation(work + "/", 2), {"100/0/100 0 " + script, "202/0/0 0", "201/0/0 0"}));

    const std::string dest = TestHome() + "out/P.8dh";
    ASSERT_EQ(bridge.P_SaveProgram(dest, {"A_p", "", "A_y.Tif"}, TempPfad), 0);
    EXPECT_EQ(trace.Take(), Join(Preparation(TempPfad, 2), {"204/0/0 0 " + TempPfad,
                                                           "99/1/0 0 " + TempPfad + "ZORITPRG.TMP", "205/1/0 0",
                                                           "201/0/0 0"}));
    const TkfFile f(dest);
    ASSERT_NE(f.Find(34832), nullptr);
    EXPECT_EQ(f.bytes.substr(f.Find(34832)->value, 8), std::string("A_p.TIF\0", 8));
    EXPECT_EQ(f.Find(34833), nullptr);
    EXPECT_EQ(f.bytes.substr(f.Find(34834)->value, 8), std::string("A_y.Tif\0", 8));

    PatternNames names;
    EXPECT_EQ(bridge.P_LoadProgram(TempPfad, TempPfad, dest, names), 0);
    EXPECT_EQ(trace.Take(), Join(Preparation(TempPfad, 2),
                                 {"204/1/101 0 " + TempPfad, "99/0/0 0 " + dest, "205/0/0 0", "201/0/0 0"}));
    EXPECT_EQ(names, (PatternNames{"A_p.TIF", "", "A_y.Tif"}));

    const std::string missing = TestHome() + "out/none.8dh";
    EXPECT_EQ(bridge.P_LoadProgram(TempPfad, TempPfad, missing, names), 301);
    EXPECT_EQ(trace.Take(), Join(Preparation(TempPfad, 2),
                                 {"204/1/101 0 " + TempPfad, "99/0/0 0 " + missing, "201/0/0 0"}));
    EXPECT_EQ(names, PatternNames{});
}

TEST(EngineBridge, PreparationTakesTheMachineFromTheModelTable)
{
    ProgrammKopf.SetModel("844");
    SetModelFields(ProgrammKopf, "844");
    EngineBridge bridge;
    EXPECT_TRUE(bridge.PrepareMachine(TempPfad));
    EXPECT_EQ(ZrVar.Systems, 4);
    EXPECT_EQ(ZrVar.MachineValue, 2);
    EXPECT_EQ(ZrVar.TakeDownColumns, 1);
    ProgrammKopf.SetModel("823");
    EXPECT_TRUE(bridge.PrepareMachine(TempPfad));
    EXPECT_EQ(ZrVar.Systems, 3);
    EXPECT_EQ(ZrVar.MachineValue, 1);
    // A model the table does not know and no machine kind: the number of
    // systems 0 is refused by code 101, and the preparation reports it.
    ProgrammKopf.clear();
    ProgrammKopf.SetModel("999");
    EXPECT_FALSE(bridge.PrepareMachine(TempPfad));
}

TEST(EngineBridge, RefusedLoadReturnsNoNames)
{
    SetMachine("832", 8);
    EngineBridge bridge;
    ZrVar.PatternFiles = {"X_p.TIF", "", ""};
    const std::string dest = TestHome() + "P.8dh";
    ASSERT_EQ(bridge.P_SaveProgram(dest, {"X_p", "", ""}, TempPfad), 0);
    std::string bytes = ReadTestFile(dest);
    bytes[9] = 'X';
    WriteTestFile(dest, bytes);
    PatternNames names = {"keep", "", ""};
    EXPECT_EQ(bridge.P_LoadProgram(TempPfad, TempPfad, dest, names), 302);
    EXPECT_EQ(names, PatternNames{});
}

// Check 13: saves that fail leave an existing destination alone and no
// temporary file beside it.
TEST(EngineBridge, FailedSavesKeepTheDestination)
{
    SetMachine("832", 8);
    FillProgram();
    ScopedRecordingHost host;
    EngineBridge bridge;

    auto filesIn = [](const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };

    // The destination folder's path runs through a regular file.
    WriteTestFile(TestHome() + "plain", "x");
    const std::string through = TestHome() + "plain/sub/P.8dh";
    EXPECT_NE(bridge.P_SaveProgram(through, {}, TempPfad), 0);
    ASSERT_EQ(host.host.messages().size(), 1u);
    const std::string message = host.host.messages()[0];
    EXPECT_EQ(message.rfind("Source: " + TempPfad + "ZORITPRG.TMP\rDesination: " + through + "\rError: ", 0), 0u)
        << message;
    EXPECT_GT(message.size(), message.rfind("Error: ") + 7);
    EXPECT_EQ(host.host.callsOf("messageDlg")[0].buttons, MsgButtons{MsgButton::OK});
    EXPECT_EQ(ReadTestFile(TestHome() + "plain"), "x");

    // The destination is a folder.
    const std::string folderDest = TestHome() + "out/Folder.8dh";
    fs::create_directories(folderDest);
    EXPECT_NE(bridge.P_SaveProgram(folderDest, {}, TempPfad), 0);
    EXPECT_TRUE(fs::is_directory(folderDest));
    EXPECT_EQ(filesIn(TestHome() + "out"), std::vector<std::string>{"Folder.8dh"});
    EXPECT_EQ(host.host.messages().size(), 2u);
    EXPECT_NE(host.host.messages()[1].find("\rDesination: " + folderDest + "\r"), std::string::npos);

    // An existing destination, then "ZORITPRG.TMP" a folder, then gauge 0.
    const std::string dest = TestHome() + "out/P.8dh";
    WriteTestFile(dest, "the previous program");
    fs::remove(TempPfad + "ZORITPRG.TMP");
    fs::create_directories(TempPfad + "ZORITPRG.TMP");
    EXPECT_EQ(bridge.P_SaveProgram(dest, {}, TempPfad), 301);
    EXPECT_EQ(ReadTestFile(dest), "the previous program");
    fs::remove(TempPfad + "ZORITPRG.TMP");

    ProgrammKopf.SetGauge(0);
    // A stale file of an earlier save must not be taken for this one.
    WriteTestFile(TempPfad + "ZORITPRG.TMP", "stale");
    EXPECT_EQ(bridge.P_SaveProgram(dest, {}, TempPfad), 2210);
    EXPECT_EQ(ReadTestFile(dest), "the previous program");
    EXPECT_EQ(ReadTestFile(TempPfad + "ZORITPRG.TMP"), "stale");
    EXPECT_EQ(filesIn(TestHome() + "out"), (std::vector<std::string>{"Folder.8dh", "P.8dh"}));
    EXPECT_EQ(host.host.messages().size(), 2u);

    // And a save that works replaces it whole.
    ProgrammKopf.SetGauge(8);
    EXPECT_EQ(bridge.P_SaveProgram(dest, {}, TempPfad), 0);
    EXPECT_EQ(RunCommand("cmp '" + dest + "' '" + TempPfad + "ZORITPRG.TMP'"), 0);
    EXPECT_EQ(filesIn(TestHome() + "out"), (std::vector<std::string>{"Folder.8dh", "P.8dh"}));
    EXPECT_EQ(host.host.callsOf("statusText").back().text, "Dateien kopieren");
}

TEST(EngineBridge, TooLongPathIsNotCut)
{
    SetMachine("832", 8);
    EngineBridge bridge;
    const std::string deep = TestHome() + std::string(250, 'd') + "/P.8dh";
    PatternNames names;
    EXPECT_EQ(bridge.P_LoadProgram(TempPfad, TempPfad, deep, names), 301);
}

// The save writes its file under another name and puts it in place when
// the stream is released. When that fails, the save has failed: a stale
// "ZORITPRG.TMP" is never copied to the destination.
TEST(EngineBridge, FileNotPutInPlaceFailsTheSave)
{
    SetMachine("832", 8);
    struct Host : RecordingKernelHost {
        std::function<void()> once;
        void infoLine(int line, const std::string& text) override
        {
            if (once) {
                auto f = std::move(once);
                once = nullptr;
                f();
            }
            RecordingKernelHost::infoLine(line, text);
        }
    } host;
    setKernelHost(&host);
    const std::string temp = TempPfad + "ZORITPRG.TMP";
    WriteTestFile(temp, "stale");
    host.once = [&] {
        fs::remove(temp);
        WriteTestFile(temp + "/blocker", "x");
    };
    const std::string dest = TestHome() + "P.8dh";
    WriteTestFile(dest, "previous");
    EngineBridge bridge;
    EXPECT_EQ(bridge.P_SaveProgram(dest, {}, TempPfad), 301);
    setKernelHost(nullptr);
    EXPECT_EQ(ReadTestFile(dest), "previous");
    EXPECT_TRUE(host.callsOf("statusText").empty());
}
