// sim_probe: loads and drives the simulation library from the command line.
//   sim_probe start [--home DIR] [--mode sim|export] [--gauge G] [--systems N]
//                   [--model M] [--needles W] [--target FILE]
//   sim_probe demo  [same] [--strokes N] [--ff 0|1] [--dump]
// Exit 0 success, 1 the operation reported an error, 2 bad usage. Messages
// the program would show in a window are printed as "MSG <text>" lines; the
// library's progress and messages as "PROGRESS <sub> <max> <pos>" and
// "MESSAGE <text>".
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "check/simdll.h"
#include "kernel/globals.h"
#include "kernel/kernel_host.h"
#include "kernel/listmodel.h"
#include "kernel/programmodel.h"
#include "kernel/services.h"
#include "kernel/workrecord.h"

namespace fs = std::filesystem;

namespace {

struct Usage {
    std::string text;
};

using Args = std::vector<std::string>;

std::string TakeOption(Args& args, const std::string& name)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            if (i + 1 >= args.size())
                throw Usage{name + " needs a value"};
            std::string v = args[i + 1];
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            return v;
        }
    }
    return {};
}

bool TakeSwitch(Args& args, const std::string& name)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + long(i));
            return true;
        }
    }
    return false;
}

long TakeNumber(Args& args, const std::string& name, long def, long lo, long hi)
{
    std::string v = TakeOption(args, name);
    if (v.empty())
        return def;
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    if (*end != '\0' || n < lo || n > hi)
        throw Usage{name + " wants a number " + std::to_string(lo) + ".." + std::to_string(hi)};
    return n;
}

std::string Hex(const void* data, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    const auto* p = static_cast<const unsigned char*>(data);
    std::string out(2 * n, '0');
    for (size_t i = 0; i < n; ++i) {
        out[2 * i] = digits[p[i] >> 4];
        out[2 * i + 1] = digits[p[i] & 15];
    }
    return out;
}

class PrintingHost : public KernelHost {
public:
    int messageDlg(const std::string& text, MsgKind, MsgButtons buttons) override
    {
        std::istringstream lines(text);
        std::string line;
        bool any = false;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::cout << "MSG " << line << "\n";
            any = true;
        }
        if (!any)
            std::cout << "MSG \n";
        std::cout.flush();
        return UnattendedResult(buttons);
    }
};

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
        throw Usage{"--mode is sim or export"};
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
        throw Usage{"unexpected " + args[0]};
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
        throw Usage{"unexpected " + args[0]};
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
                std::cout << "ROW " << r << " " << Hex(row.shape.data(), row.shape.size()) << " "
                          << Hex(row.colour.data(), row.colour.size()) << " "
                          << Hex(row.third.data(), row.third.size()) << "\n";
            }
        }
    }
    SimDllSpeicherFrei();
    std::cout << "OK\n";
    return 0;
}

int PrintUsage()
{
    std::cerr << "usage: sim_probe start [--home DIR] [--mode sim|export] [--gauge G] [--systems N] [--model M]\n"
                 "                       [--needles W] [--target FILE]\n"
                 "       sim_probe demo [same] [--strokes N] [--ff 0|1] [--dump]\n";
    return 2;
}

struct FreshHome {
    std::string path;
    ~FreshHome()
    {
        if (!path.empty()) {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    Args args(argv + 1, argv + argc);
    FreshHome fresh;
    PrintingHost host;
    int rc = 0;
    try {
        std::string home = TakeOption(args, "--home");
        if (args.empty())
            return PrintUsage();
        const std::string command = args[0];
        args.erase(args.begin());
        if (command != "start" && command != "demo") {
            std::cerr << "sim_probe: unknown command " << command << "\n";
            return PrintUsage();
        }
        if (home.empty()) {
            const char* tmp = std::getenv("TMPDIR");
            std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/sim-probe-XXXXXX";
            char* dir = mkdtemp(templ.data());
            if (!dir) {
                std::cout << "ERROR cannot create a folder\n";
                return 1;
            }
            fresh.path = dir;
            home = dir;
        }
        fs::create_directories(home);
        home = fs::absolute(home).lexically_normal().string();
        if (home.back() != '/')
            home += '/';
        ProgrammPfad = home;
        TempPfad = home + "Temp/";
        fs::create_directories(TempPfad);

        setKernelHost(&host);
        CreateProgramModel();
        SetDefaults();
        rc = command == "start" ? CmdStart(args) : CmdDemo(args);
    } catch (const Usage& u) {
        std::cerr << "sim_probe: " << u.text << "\n";
        rc = 2;
    } catch (const std::exception& e) {
        std::cout << "ERROR " << e.what() << "\n";
        rc = 1;
    }
    std::cout.flush();
    FreeSimDll();
    setKernelHost(nullptr);
    FreeProgramModel();
    return rc;
}
