// sim_probe: loads and drives the simulation library from the command line.
//   sim_probe start [--home DIR] [--mode sim|export] [--gauge G] [--systems N]
//                   [--model M] [--needles W] [--target FILE]
//   sim_probe demo  [same] [--strokes N] [--ff 0|1] [--dump]
// Exit 0 success, 1 the operation reported an error, 2 bad usage. Messages
// the program would show in a window are printed as "MSG <text>" lines; the
// library's progress and messages as "PROGRESS <sub> <max> <pos>" and
// "MESSAGE <text>".
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "check/simdll.h"
#include "kernel/model/globals.h"
#include "kernel/model/listmodel.h"
#include "kernel/model/programmodel.h"
#include "kernel/model/workrecord.h"
#include "kernel/services/services.h"
#include "tests/tools/common/probe_common.h"

namespace {

using Args = ProbeArgs;

long TakeNumber(Args& args, const std::string& name, long def, long lo, long hi)
{
    std::string v = TakeOption(args, name);
    if (v.empty())
        return def;
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    if (*end != '\0' || n < lo || n > hi)
        throw ProbeUsage{name + " wants a number " + std::to_string(lo) + ".." + std::to_string(hi)};
    return n;
}

struct Options {
    int mode = 1;
    int gauge = 8;
    int systems = 1;
    std::string model;
    uint16_t needles = 40;
    std::string target;
};

Options TakeCommon(Args& args)
{
    Options o;
    std::string mode = TakeOption(args, "--mode");
    if (mode.empty() || mode == "sim")
        o.mode = 1;
    else if (mode == "export")
        o.mode = 2;
    else
        throw ProbeUsage{"--mode is sim or export"};
    o.gauge = int(TakeNumber(args, "--gauge", 8, 0, 255));
    o.systems = int(TakeNumber(args, "--systems", 1, 0, 255));
    o.model = TakeOption(args, "--model");
    if (o.model.empty())
        o.model = ZrVar.DefaultModel;
    o.needles = uint16_t(TakeNumber(args, "--needles", 40, 0, 65535));
    o.target = TakeOption(args, "--target");
    return o;
}

bool Start(const Options& o)
{
    ProgrammKopf.clear();
    ProgrammKopf.SetModel(o.model);
    SetModelFields(ProgrammKopf, o.model);
    ProgrammKopf.SetGauge(uint8_t(o.gauge));
    SetGaugeFields(ProgrammKopf, uint8_t(o.gauge));
    ProgrammKopf.data()[26] = uint8_t(o.systems);
    // A cleared set-up record: selector level 1 and the default distances.
    RuestSchema.clear();
    RuestSchema.data()[T_RuestSchema::kLevel] = 1;
    put_u16(RuestSchema.data(), T_RuestSchema::kFfMin, 4);
    put_u16(RuestSchema.data(), T_RuestSchema::kFfMax, 100);
    RuestSchema.data()[T_RuestSchema::kFfDis] = 2;
    TestModus = o.mode;

    SetSimProgressSink([](bool sub, uint16_t maximum, uint16_t position) {
        std::cout << "PROGRESS " << (sub ? 1 : 0) << " " << maximum << " " << position << "\n";
    });
    SetSimMessageSink([](const std::string& text) { std::cout << "MESSAGE " << text << "\n"; });
    bool ok = StartSimDll(o.target, o.needles);
    std::cout << (ok ? "OK" : "ERROR start") << "\n";
    return ok;
}

int CmdStart(Args& args)
{
    Options o = TakeCommon(args);
    if (!args.empty())
        throw ProbeUsage{"unexpected " + args[0]};
    return Start(o) ? 0 : 1;
}

void FeedStroke(const Options& o, int k)
{
    T_DllNeueZeile line;
    line.direction = (k % 2) ? '>' : '<';
    line.system = 1;
    line.strokeStart = true;
    line.rackingCodeZero = true;
    line.speed = 100;
    line.takeDown = "WA: 010; ";
    line.density = {1250, 1250, 1250, 1250};
    line.mainPass = 1;
    if (o.mode == 1)
        line.label = "S0001 Z" + F_ZeroPadNum(k, 4) + " System1 YV0001 YH0001";
    SimDllAddNeueZeile(line);
    std::vector<uint8_t> front(o.needles, 'M');
    std::vector<uint8_t> back(o.needles, 0);
    SimDllAddSelektion(front, back);
    T_DllFfMove move;
    move.rail = 1;
    move.carrier = 1;
    move.id = 1;
    move.start = 1;
    move.end = int16_t(o.needles);
    SimDllAddFf(move);
    SimDllZeileFertig();
}

int CmdDemo(Args& args)
{
    Options o = TakeCommon(args);
    const long strokes = TakeNumber(args, "--strokes", 5, 0, 100000);
    const long ff = TakeNumber(args, "--ff", 0, 0, 1);
    const bool dump = TakeSwitch(args, "--dump");
    if (!args.empty())
        throw ProbeUsage{"unexpected " + args[0]};
    if (!Start(o))
        return 1;
    for (int k = 1; k <= strokes; ++k)
        FeedStroke(o, k);
    SimInfoEnde end = SimDllInfoEnde(0);
    std::cout << "STROKES " << end.strokes << " USABLE " << (end.usable ? 1 : 0) << "\n";
    if (o.mode == 1) {
        SimDllFfEinAus(uint8_t(ff));
        const uint16_t height = SimDllGetSimHoehe();
        std::cout << "ROWS " << height << "\n";
        if (dump) {
            SimDllRow row;
            for (uint16_t r = 1; r <= height; ++r) {
                SimDllGetSimInfo(uint16_t(height - r + 1), 8, r, 1, 1, row);
                std::cout << "ROW " << r << " " << HexBytes(row.shape.data(), row.shape.size()) << " "
                          << HexBytes(row.colour.data(), row.colour.size()) << " "
                          << HexBytes(row.third.data(), row.third.size()) << "\n";
            }
        }
    }
    SimDllSpeicherFrei();
    std::cout << "OK\n";
    return 0;
}

const char* const kUsage =
    "usage: sim_probe start [--home DIR] [--mode sim|export] [--gauge G] [--systems N] [--model M]\n"
    "                       [--needles W] [--target FILE]\n"
    "       sim_probe demo [same] [--strokes N] [--ff 0|1] [--dump]\n";

}  // namespace

int main(int argc, char** argv)
{
    Args args(argv + 1, argv + argc);
    ProbeHome home;
    PrintingHost host;
    const int rc = RunProbe("sim_probe", "", [&] {
        const std::string dir = TakeOption(args, "--home");
        if (args.empty())
            return PrintProbeUsage("sim_probe", "", kUsage);
        const std::string command = args[0];
        args.erase(args.begin());
        if (command != "start" && command != "demo")
            return PrintProbeUsage("sim_probe", "unknown command " + command, kUsage);
        home.Enter(dir, "sim-probe");

        setKernelHost(&host);
        CreateProgramModel();
        SetDefaults();
        return command == "start" ? CmdStart(args) : CmdDemo(args);
    });
    std::cout.flush();
    FreeSimDll();
    setKernelHost(nullptr);
    FreeProgramModel();
    return rc;
}
