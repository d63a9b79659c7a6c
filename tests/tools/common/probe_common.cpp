#include "tests/tools/common/probe_common.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "kernel/model/globals.h"

namespace fs = std::filesystem;

std::string TakeOption(ProbeArgs& args, const std::string& name)
{
    const ProbeArgs values = TakeOptionValues(args, name, 1);
    return values.empty() ? std::string() : values[0];
}

ProbeArgs TakeOptionValues(ProbeArgs& args, const std::string& name, size_t count)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name)
            continue;
        if (i + count >= args.size())
            throw ProbeUsage{name + (count == 1 ? " needs a value" : " needs " + std::to_string(count) + " values")};
        const auto first = args.begin() + static_cast<long>(i);
        ProbeArgs values(first + 1, first + static_cast<long>(count) + 1);
        args.erase(first, first + static_cast<long>(count) + 1);
        return values;
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

long ProbeNumber(const std::string& text, long low, long high, const std::string& what, int base)
{
    size_t used = 0;
    long v = 0;
    try {
        v = std::stol(text, &used, base);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || v < low || v > high)
        throw ProbeUsage{"bad " + what + ": " + text};
    return v;
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

int PrintingHost::messageDlg(const std::string& text, MsgKind, MsgButtons buttons)
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

ProbeHome::~ProbeHome()
{
    if (!fresh_.empty()) {
        std::error_code ec;
        fs::remove_all(fresh_, ec);
    }
}

void ProbeHome::Enter(std::string dir, const std::string& prefix)
{
    if (dir.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
        if (!mkdtemp(templ.data()))
            throw std::runtime_error("cannot create a folder");
        fresh_ = templ;
        dir = templ;
    }
    fs::create_directories(dir);
    dir = fs::absolute(dir).lexically_normal().string();
    if (dir.back() != '/')
        dir += '/';
    ProgrammPfad = dir;
    TempPfad = dir + "Temp/";
    fs::create_directories(TempPfad);
}

int PrintProbeUsage(const std::string& program, const std::string& why, const std::string& usage)
{
    if (!why.empty())
        std::cerr << program << ": " << why << "\n";
    std::cerr << usage;
    return 2;
}

int RunProbe(const std::string& program, const std::string& usage, const std::function<int()>& work)
{
    try {
        return work();
    } catch (const ProbeUsage& u) {
        return PrintProbeUsage(program, u.text, usage);
    } catch (const std::exception& e) {
        std::cout << "ERROR " << e.what() << std::endl;
        return 1;
    } catch (...) {
        std::cout << "ERROR unknown exception" << std::endl;
        return 1;
    }
}
