// kernel_probe check SCRIPT [--mode test|sim|export]: the script compiled as
// the compile command does, then the program check in the mode, its
// messages and report as the windows join them, then "STROKES <n>".
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "check/checkhost.h"
#include "check/programcheck.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/simlibrary.h"
#include "kernel/globals.h"
#include "tests/tools/compilerun.h"
#include "tests/tools/kernel_probe/probe.h"

namespace {

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

// The compile's output: on an error its ERROR line is all that is shown.
bool Compile(const std::string& script)
{
    std::ostringstream out;
    if (RunCompileCommand(script, false, out) == 0)
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
    for (const std::string& a : args)
        if (a == "--pattern")
            throw ProbeUsage{"--pattern is not available"};
    if (args.size() != 1)
        throw ProbeUsage{"check needs one script"};
    std::ifstream in(args[0], std::ios::binary);
    if (!in) {
        std::cout << "ERROR cannot read " << args[0] << "\n";
        return 1;
    }
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!Compile(script))
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
        SimDllInfoEnde(CheckExportEndNeedle());
        SimDllSpeicherFrei();
    }
    std::cout << "STROKES " << CheckStrokeCount() << "\n";
    return 0;
}

ProbeCommandRegistrar registrar("check", "check SCRIPT [--mode test|sim|export]", Check);
}  // namespace
