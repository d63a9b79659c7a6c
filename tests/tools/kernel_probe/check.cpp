// kernel_probe check SCRIPT [--mode test|sim|export] [--pattern FILE.TIF]:
// the script compiled as the compile command does, then the program check in
// the mode, its messages and report as the windows join them, then
// "STROKES <n>".
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "check/checkhost.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/simlibrary.h"
#include "kernel/compiler/scriptfile.h"
#include "kernel/model/globals.h"
#include "kernel/pattern/tiffpattern.h"
#include "kernel/services/services.h"
#include "tests/tools/compilerun.h"
#include "tests/tools/kernel_probe/pattern_support.h"
#include "tests/tools/kernel_probe/probe.h"

namespace {

constexpr const char* kUsage = "check SCRIPT [--mode test|sim|export] [--pattern FILE.TIF]";

// Ends every pause at once, as the start button does, and stops a run that
// does not end by itself.
class ProbeCheckHost : public CheckHost {
public:
    static constexpr uint32_t kStrokeLimit = 2000000;

    void processEvents() override { limit(); }
    void waitForContinue() override
    {
        limit();
        CheckState.continueFlag = 1;
        CheckState.pauseFlag = 0;
    }
    void showNewRows() override { limit(); }

private:
    static void limit()
    {
        if (CheckStrokeCount() >= kStrokeLimit)
            CheckState.userAbort = 1;
    }
};

int ModeNumber(const std::string& mode)
{
    if (mode.empty() || mode == "test")
        return 0;
    if (mode == "sim")
        return 1;
    if (mode == "export")
        return 2;
    throw ProbeUsage{"--mode takes test, sim or export"};
}

// Plane 0 from the TIFF file as the compile command loads it.
bool LoadPattern(const std::string& file)
{
    WarningCapture capture;
    const bool remote = Fernsteuerung;
    Fernsteuerung = true;
    const bool ok = ReadTiffPattern(file, true, 0);
    Fernsteuerung = remote;
    if (!ok)
        PrintWarningError(capture);
    return ok;
}

// The compile's output: on an error its ERROR line is all that is shown.
bool Compile(const std::string& script, const std::string& pattern)
{
    std::ostringstream out;
    CompilePreparation prepare;
    if (!pattern.empty())
        prepare = [&](std::ostream&) { return LoadPattern(pattern); };
    if (RunCompileCommand(script, false, out, prepare) == 0)
        return true;
    std::istringstream lines(out.str());
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind("ERROR", 0) == 0)
            std::cout << line << "\n";
    return false;
}

int Check(const ProbeArgs& given)
{
    ProbeArgs args = given;
    const int mode = ModeNumber(TakeOption(args, "--mode"));
    const std::string pattern = TakeOption(args, "--pattern");
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
        throw ProbeUsage{kUsage};
    std::string script;
    if (const int code = ReadScriptFile(args[0], script); code != 0) {
        std::cout << "ERROR " << F_DiskErrorText(code) << "\n";
        return 1;
    }
    if (!Compile(script, pattern))
        return 1;

    TestModus = mode;
    std::string pieces;
    CheckState.carrierReportSink = [&pieces](const std::string& piece) { pieces += piece; };
    CheckState.messageSink = [&pieces](const std::string& text) {
        std::cout << pieces << text << "\n";
        pieces.clear();
    };
    ProbeCheckHost host;
    SetCheckHost(&host);
    struct Restore {
        ~Restore()
        {
            SetCheckHost(nullptr);
            SetSimLibrary(nullptr);
            CheckState.messageSink = nullptr;
            CheckState.carrierReportSink = nullptr;
            FreeSimDll();
        }
    } restore;

    if (mode != 0) {
        // Failures show as MSG lines through the probe's host.
        if (!StartSimDll("", F_NadelStart()))
            return 1;
        SetSimLibrary(nullptr);
    }
    RunProgramCheck();
    if (mode != 0) {
        CheckExportEnd();
        SimDllSpeicherFrei();
    }
    std::cout << "STROKES " << CheckStrokeCount() << "\n";
    return 0;
}

const ProbeCommandRegistrar registrar("check", kUsage, Check);
}  // namespace
