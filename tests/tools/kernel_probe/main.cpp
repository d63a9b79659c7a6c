// kernel_probe: exit 0 on success, 1 when the operation reported an error,
// 2 on bad usage or an unknown command. Messages the kernel would show in a
// window are printed as "MSG <text>" lines.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <unistd.h>

#include "kernel/debuglog.h"
#include "kernel/globals.h"
#include "kernel/kernel_host.h"
#include "kernel/listmodel.h"
#include "kernel/workrecord.h"
#include "tests/tools/kernel_probe/probe.h"

namespace fs = std::filesystem;

namespace {

struct Command {
    const char* usage;
    ProbeRun run;
};

std::map<std::string, Command>& commands()
{
    static std::map<std::string, Command> table;
    return table;
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

int usage()
{
    std::cerr << "usage: kernel_probe [--home DIR] COMMAND ...\n";
    for (const auto& [name, c] : commands())
        std::cerr << "  kernel_probe " << c.usage << "\n";
    return 2;
}

// Removes the probe's own fresh folder at exit.
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

ProbeCommandRegistrar::ProbeCommandRegistrar(const char* name, const char* usage, ProbeRun run)
{
    commands()[name] = Command{usage, run};
}

std::string TakeOption(ProbeArgs& args, const std::string& name)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            if (i + 1 >= args.size())
                throw ProbeUsage{name + " needs a value"};
            std::string v = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return v;
        }
    }
    return {};
}

bool TakeSwitch(ProbeArgs& args, const std::string& name)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

std::string HexBytes(const void* data, size_t n)
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

int main(int argc, char** argv)
{
    ProbeArgs args(argv + 1, argv + argc);
    FreshHome fresh;
    PrintingHost host;
    try {
        std::string home = TakeOption(args, "--home");
        if (args.empty())
            return usage();
        if (home.empty()) {
            const char* tmp = std::getenv("TMPDIR");
            std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/kernel-probe-XXXXXX";
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
        auto it = commands().find(args[0]);
        if (it == commands().end()) {
            std::cerr << "kernel_probe: unknown command " << args[0] << "\n";
            return usage();
        }

        setKernelHost(&host);
        DebugLogStart();
        CreateProgramModel();
        SetDefaults();
        ProbeArgs rest(args.begin() + 1, args.end());
        int rc = it->second.run(rest);
        std::cout.flush();
        setKernelHost(nullptr);
        FreeProgramModel();
        return rc;
    } catch (const ProbeUsage& u) {
        std::cerr << "kernel_probe: " << u.text << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cout << "ERROR " << e.what() << std::endl;
        return 1;
    } catch (...) {
        std::cout << "ERROR unknown exception" << std::endl;
        return 1;
    }
}
