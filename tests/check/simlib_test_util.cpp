#include "tests/check/simlib_test_util.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;

std::string SimVariant(const std::string& name)
{
    return std::string(ZORIT_SIMLIB_DIR) + "variants/" + name + "/libVpSimMod.so";
}

void PlaceLibrary(const std::string& library, const std::string& folder)
{
    fs::create_directories(folder);
    fs::copy_file(library, folder + "/libVpSimMod.so", fs::copy_options::overwrite_existing);
}

int RunSimProbe(const std::string& args, std::string* out, const std::string& logPath, const std::string& probe)
{
    std::string command = "env -u LD_LIBRARY_PATH ";
    if (!logPath.empty())
        command += "VPSIMMOD_LOG='" + logPath + "' ";
    else
        command += "-u VPSIMMOD_LOG ";
    command += (probe.empty() ? ToolsFolder() + "sim_probe" : probe) + " " + args + " 2>/dev/null";
    return RunCommand(command, out);
}

std::vector<std::string> ReadLogLines(const std::string& path)
{
    return SplitLines(ReadTestFile(path));
}

std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::string ToHex(const uint8_t* data, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

namespace {
// The text of a quoted field with its \xNN escapes undone.
std::string Unquote(const std::string& s, size_t& i)
{
    std::string out;
    ++i;  // opening quote
    while (i < s.size() && s[i] != '"') {
        if (s[i] == '\\' && i + 3 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16));
            i += 4;
        } else {
            out += s[i++];
        }
    }
    ++i;  // closing quote
    return out;
}
}  // namespace

LogLine ParseLogLine(const std::string& line)
{
    LogLine l;
    size_t i = line.find(' ');
    l.entry = line.substr(0, i);
    if (i == std::string::npos)
        return l;
    ++i;
    size_t end = line.find(' ', i);
    std::string hex = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
    if (hex != "-")
        l.block = FromHex(hex);
    i = end;
    while (i != std::string::npos && i < line.size()) {
        ++i;  // the blank
        if (line.compare(i, 7, "IGNORED") == 0) {
            l.ignored = true;
            break;
        }
        if (line.compare(i, 3, "=> ") == 0) {
            l.after = FromHex(line.substr(i + 3));
            break;
        }
        if (line[i] != '+')
            break;
        size_t eq = line.find('=', i);
        int off = std::stoi(line.substr(i + 1, eq - i - 1));
        i = eq + 1;
        if (i < line.size() && line[i] == '"') {
            l.fields[off] = Unquote(line, i);
        } else {
            size_t e = line.find(' ', i);
            l.fields[off] = line.substr(i, e == std::string::npos ? std::string::npos : e - i);
            i = e;
            continue;
        }
        if (i >= line.size())
            break;
    }
    return l;
}
