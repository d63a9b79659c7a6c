// The compile driver and the bridge's compile: kernel_probe compile from
// outside, the host calls and the bridge's code sequence from inside.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/compiler/compilerstatus.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/newprogram.h"
#include "kernel/model/workrecord.h"
#include "kernel/tkf/enginebridge.h"
#include "tests/kernel/compiler/compile_testing.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_env.h"

using namespace compiletest;
namespace fs = std::filesystem;

namespace {
struct ProbeRun {
    int rc = 0;
    std::vector<std::string> lines;
    std::string Last() const { return lines.empty() ? std::string() : lines.back(); }
};

// kernel_probe --home home compile (the script's bytes as given).
ProbeRun Probe(const std::string& home, const std::string& bytes, const std::string& options = "")
{
    const std::string file = WriteTestFile(TestHome() + "script.skx", bytes);
    std::string out;
    ProbeRun r;
    r.rc = RunCommand(ToolsFolder() + "kernel_probe --home " + home + " compile " + file + options + " 2>/dev/null",
                      &out);
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        r.lines.push_back(line);
    return r;
}

CompileSettings Settings()
{
    return DefaultCompileSettings();
}

const Lines kHeaderOnly = {"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";", "$NAME;{Testprogramm 1}",
                           "$V_1=R3,U1;",    "{Versatz rechts}", "$V_2=L5;", "END;"};
}  // namespace

TEST(ScriptCompileProbe, HeaderErrorsAreReportedWithoutAStatementFile)
{
    const std::string home = TestHome() + "home";
    struct Case {
        std::string script;
        std::string error;
    };
    const std::string head = "MODULSET TEST;\r\nBEGIN\r\n";
    const Case cases[] = {
        {head + "$Y=1;\r\n", "ERROR 404 3 6 $Y=1"},
        {head + "END;\r\n", "ERROR -100 3 5"},
        {"BEGIN\r\nMODULSET TEST;\r\n", "ERROR 408 1 5 BEGIN"},
        {head + "MODUL MAIN;\r\n", "ERROR 409 3 12 MODUL=MAIN"},
        {head + "$X=5;\r\n[ABC]=X;\r\n", "ERROR 997 4 9 [ABC]=X"},
        {head + "$SCRIPT=OTHER;\r\n", "ERROR -101 3 15"},
        {head + "$X=5", "ERROR -999 3 5"},
    };
    for (const Case& c : cases) {
        ProbeRun r = Probe(home, c.script);
        EXPECT_EQ(r.rc, 1) << c.error;
        EXPECT_EQ(r.Last(), c.error);
        EXPECT_FALSE(fs::exists(home + "/Temp/STR_PHS6.TMP")) << c.error;
    }

    ProbeRun r = Probe(home, head + "$Y=1;\r\n");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"MSG Zeile: 3", "MSG Spalte: 6", "MSG $Y=1", "MSG unbekannter Befehl",
                                                 "ERROR 404 3 6 $Y=1"}));
    r = Probe(home, head + "END;\r\n");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"MSG Zeile: 3", "MSG Spalte: 5", "MSG ", "MSG Maschine nicht definiert",
                                                 "ERROR -100 3 5"}));
}

TEST(ScriptCompileProbe, AWholeScriptCompilesAndLeavesItsStatementFile)
{
    const std::string home = TestHome() + "home";
    ProbeRun r = Probe(home, Text(S2()));
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.lines, std::vector<std::string>{"OK"});
    EXPECT_EQ(fs::file_size(home + "/Temp/STR_PHS6.TMP"), 10000u);
    // Without --home the probe's folder goes away with it.
    EXPECT_EQ(RunCommand(ToolsFolder() + "kernel_probe compile " + TestHome() + "script.skx >/dev/null"), 0);
}

TEST(ScriptCompileProbe, AStatementFileThatCannotBeMadeIsError303)
{
    const std::string home = TestHome() + "home";
    fs::create_directories(home + "/Temp/STR_PHS6.TMP");
    ProbeRun r = Probe(home, Text(kHeaderOnly));
    EXPECT_EQ(r.rc, 1);
    ASSERT_GE(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[r.lines.size() - 2], "MSG Fehler 303");
    EXPECT_EQ(r.Last(), "ERROR 303 8 5 END");
}

TEST(ScriptCompileProbe, WhatWasWrittenBeforeAnErrorStays)
{
    ProbeRun r = Probe(TestHome() + "home", Text({"MODULSET TEST;", "BEGIN", "$V_1=R3;", "$V_2=R30;"}), " --dump");
    EXPECT_EQ(r.rc, 1);
    bool sawError = false;
    bool sawV1 = false;
    for (const std::string& l : r.lines) {
        sawError |= l == "ERROR 1401 4 10 $V_2=R30";
        sawV1 |= l.rfind("V 1 010003", 0) == 0;
    }
    EXPECT_TRUE(sawError);
    EXPECT_TRUE(sawV1);
}

TEST(ScriptCompileProbe, SaveAfterASuccessfulCompile)
{
    const std::string home = TestHome() + "home";
    const std::string out = TestHome() + "out/PROG.833";
    ProbeRun r = Probe(home, Text(S2()), " --save " + out);
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.lines, (std::vector<std::string>{"OK", "OK"}));
    EXPECT_TRUE(fs::is_regular_file(out));
    // The saved program loads back with the lists the compile made.
    std::string loaded;
    EXPECT_EQ(RunCommand(ToolsFolder() + "kernel_probe load " + out + " --dump 2>/dev/null", &loaded), 0);
    EXPECT_NE(loaded.find("\nZ 2 "), std::string::npos);
    EXPECT_EQ(loaded.find("\nZ 3 "), std::string::npos);

    // A failed compile saves nothing.
    fs::remove(out);
    r = Probe(home, Text(Replace(S2(), 8, 8, {"S1=<,K[AB];"})), " --save " + out);
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.Last(), "ERROR 422 8 12 S1=<,K[AB]");
    EXPECT_FALSE(fs::exists(out));
}

TEST(ScriptCompileProbe, SubListsAfterUnusedLinesSurviveSaveAndLoad)
{
    // Lines 3 of F and P come into being unused; the sub-list at line 4
    // must number on from them, or the file joins it to the list above.
    const Lines script = Replace(S2(), 4, 3, {"$FS_1=D10,D11;", "$FS_4=D20;", "$P_1=FF1A(+5N)[AB],FF2(+7S);",
                                              "$P_4=FF3B(-4)[V];"});
    const Result compiled = Compile(script);
    ASSERT_EQ(compiled.rc, 0) << compiled.Last();
    for (char list : {'F', 'P'}) {
        std::string numbers;
        for (int line = 1; line <= 4; ++line)
            numbers += compiled.Bytes(std::string(1, list) + " " + std::to_string(line), 0, 2) + " ";
        EXPECT_EQ(numbers, "0100 0000 0200 0300 ") << list;
    }

    const std::string out = TestHome() + "out/PROG.833";
    ASSERT_EQ(Probe(TestHome() + "home", Text(script), " --save " + out).lines,
              (std::vector<std::string>{"OK", "OK"}));
    std::string loaded;
    ASSERT_EQ(RunCommand(ToolsFolder() + "kernel_probe load " + out + " --dump 2>/dev/null", &loaded), 0);
    std::istringstream in(loaded);
    std::map<std::string, std::string> lines;
    for (std::string line; std::getline(in, line);) {
        const size_t hex = line.rfind(' ');
        if ((line[0] == 'F' || line[0] == 'P') && hex != std::string::npos)
            lines[line.substr(0, hex)] = line.substr(hex + 1);
    }
    for (const auto& [key, hex] : compiled.lines) {
        if (key[0] == 'F' || key[0] == 'P') {
            EXPECT_EQ(lines[key], hex) << key;
        }
    }
}

TEST(ScriptCompileProbe, BadUsage)
{
    const std::string home = TestHome() + "home";
    EXPECT_EQ(RunCommand(ToolsFolder() + "kernel_probe compile 2>/dev/null"), 2);
    EXPECT_EQ(Probe(home, Text(S2()), " --pattern").rc, 2);
    EXPECT_EQ(Probe(home, Text(S2()), " extra").rc, 2);
    std::string out;
    EXPECT_EQ(RunCommand(ToolsFolder() + "kernel_probe compile " + TestHome() + "missing.skx", &out), 1);
    EXPECT_EQ(out.rfind("ERROR", 0), 0u);
}

TEST(ScriptCompile, StatusAndProgressGoThroughTheHost)
{
    ScopedRecordingHost recorder;
    Result r = Compile(Replace(S2(), 8, 8, {"S1=>,Y+1,Y+1,K[AB];"}));
    ASSERT_EQ(r.rc, 0) << r.Last();
    auto status = recorder.host.callsOf("progressStatus");
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].text, "Script umsetzen");
    // The status line is followed by one round of events.
    for (size_t i = 0; i + 1 < recorder.host.calls.size(); ++i)
        if (recorder.host.calls[i].what == "progressStatus") {
            EXPECT_EQ(recorder.host.calls[i + 1].what, "processEvents");
        }
    // Every row move shows the module and the row.
    auto lines = recorder.host.callsOf("infoLine");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].a, 3);
    EXPECT_EQ(lines[0].text, "MAIN");
    EXPECT_EQ(lines[1].a, 4);
    EXPECT_EQ(lines[1].text, "   2");
    EXPECT_EQ(lines[3].text, "   3");
}

TEST(ScriptCompile, ProgressTextIsCutAndTheNumberRightAligned)
{
    ScopedRecordingHost recorder;
    ShowCompilerProgress(std::string(100, 'x') + "\xe4", 9999, 12345);
    ShowCompilerProgress("Modul \xe4", 10, 7);
    auto lines = recorder.host.callsOf("infoLine");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, std::string(80, 'x'));
    EXPECT_EQ(lines[1].text, "12345");
    EXPECT_EQ(lines[2].text, "Modul \xc3\xa4");
    EXPECT_EQ(lines[3].text, "   7");
}

TEST(ScriptCompile, AnErrorMovesTheEditorCursor)
{
    ScopedRecordingHost recorder;
    Result r = Compile(Replace(S2(), 8, 8, {"S1=<,K[AB];"}));
    EXPECT_EQ(r.Last(), "ERROR 422 8 12 S1=<,K[AB]");
    auto cursor = recorder.host.callsOf("setScriptCursor");
    ASSERT_EQ(cursor.size(), 1u);
    EXPECT_EQ(cursor[0].a, 7);
    EXPECT_EQ(cursor[0].b, 12);
}

TEST(EngineBridge, CompileSendsItsCodesInOrder)
{
    NewProgramModel();
    ScopedRecordingHost recorder;
    recorder.host.script = Text(S2());
    struct Sent {
        int code, sub, line, selector;
        std::string text;
    };
    std::vector<Sent> sent;
    EngineBridge bridge([&](ProgramCommandBlock& b) {
        Sent s{b.Code(), b.Sub(), b.Line(), b.Selector(), b.Text()};
        sent.push_back(s);
        return ProgramDispatch(b);
    });
    const std::string folder = TestHome() + "tmp";  // no separator yet
    const std::string script = TestHome() + "scripts/Compile.Skx";
    ASSERT_EQ(bridge.P_RunScriptCompiler(folder, script, true, Settings()), 0);
    ASSERT_EQ(bridge.P_RunScriptCompiler(folder, script, false, Settings()), 0);

    // Both runs, without the one first-call reset.
    ASSERT_EQ(sent.front().code, 200);
    EXPECT_EQ(sent.front().sub, 0);
    std::vector<Sent> runs(sent.begin() + 1, sent.end());
    std::vector<int> codes;
    for (const Sent& s : runs)
        codes.push_back(s.code);
    const std::vector<int> prepare = {200, 112, 12, 110, 109, 107, 106, 105, 104, 103, 102, 101};
    std::vector<int> expected = prepare;
    expected.insert(expected.end(), {206, 100, 202, 201});
    expected.insert(expected.end(), prepare.begin(), prepare.end());
    expected.insert(expected.end(), {100, 202, 201});
    EXPECT_EQ(codes, expected);

    EXPECT_EQ(runs[0].sub, 1);
    EXPECT_EQ(runs[0].selector, 100);
    EXPECT_EQ(runs[1].text, folder + "/C-Liste.TMP");
    EXPECT_EQ(runs[2].sub, 0);
    EXPECT_EQ(runs[2].selector, 41);
    EXPECT_EQ(runs[3].text, folder + "/Y-Liste.TMP");
    EXPECT_EQ(runs[5].text, folder + "/W-Liste.TMP");
    EXPECT_EQ(runs[11].text, folder + "/Z-Liste.TMP");
    EXPECT_EQ(runs[11].line, 3);  // the default machine's systems
    EXPECT_EQ(runs[13].text, script);
    EXPECT_EQ(runs[13].selector, 100);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ZrVar.StatementFile, TestHome() + "scripts/STR_PHS6.TMP");
    EXPECT_TRUE(fs::exists(TestHome() + "scripts/STR_PHS6.TMP"));
    EXPECT_EQ(ZListe->Count(), 2);
}

TEST(EngineBridge, APreparationThatFailsDoesNotStopTheCompile)
{
    ScopedRecordingHost recorder;
    recorder.host.script = Text(S2());
    EngineBridge bridge([&](ProgramCommandBlock& b) -> uint16_t {
        if (b.Code() == 101)
            return 1003;
        return ProgramDispatch(b);
    });
    EXPECT_FALSE(bridge.PrepareMachine(TestHome()));
    EXPECT_EQ(bridge.P_RunScriptCompiler(TestHome(), TestHome() + "x.skx", true, Settings()), 0);
}

TEST(EngineBridge, AFailedClearStopsBeforeTheCompile)
{
    ScopedRecordingHost recorder;
    recorder.host.script = Text(S2());
    std::vector<int> codes;
    EngineBridge bridge([&](ProgramCommandBlock& b) -> uint16_t {
        codes.push_back(b.Code());
        return b.Code() == 206 ? 1000 : ProgramDispatch(b);
    });
    EXPECT_EQ(bridge.P_RunScriptCompiler(TestHome(), TestHome() + "x.skx", true, Settings()), 1000);
    EXPECT_EQ(codes.back(), 201);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 202), 0);
}

TEST(EngineBridge, TheCompilersSettingsComeAfterTheReset)
{
    ScopedRecordingHost recorder;
    recorder.host.script = Text(S2());
    CompileSettings settings = Settings();
    settings.table[1][4] = 77;
    settings.increment = 6;
    EngineBridge bridge;
    EXPECT_EQ(bridge.P_RunScriptCompiler(TestHome(), TestHome() + "x.skx", true, settings), 0);
    EXPECT_EQ(ColourDensityTableLine(2, 5), 77);
    EXPECT_EQ(ColourDensityTableLine(1, 5), 17);
    EXPECT_EQ(ZrVar.BridgeValue, 6);
}
