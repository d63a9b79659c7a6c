// The INI profile reader on any file: every section the file names is read
// key by key, then a key is written into it and deleted again. What was
// read before the write must read the same after it, and no temporary file
// may stay behind.
// Smoke run: 10000 runs.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/ini_profile.h"
#include "platform/paths.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// No value starts with a blank: the reader trims them.
const std::string kNone = " none";
constexpr std::size_t kMaxSections = 16;
constexpr std::size_t kMaxKeys = 32;

void Check(bool ok, const char* what)
{
    fuzz::Check(ok, "ini", what);
}

// The section names in file order, found the way a reader of the file would
// see them (lines decoded alone, blanks around the name dropped).
std::vector<std::string> SectionNames(std::string_view bytes)
{
    std::vector<std::string> names;
    while (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::size_t start = 0;
    while (start < bytes.size() && names.size() < kMaxSections) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view raw = bytes.substr(start, end - start);
        start = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        const std::string line = IsValidUtf8(raw) ? std::string(raw) : Cp1252ToUtf8(raw);
        const std::size_t open = line.find_first_not_of(" \t");
        if (open == std::string::npos || line[open] != '[')
            continue;
        const std::size_t last = line.find_last_not_of(" \t");
        std::string name = line.substr(open + 1, last - open);
        name = name.substr(0, name.find(']'));
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        const std::size_t first = name.find_first_not_of(" \t");
        names.push_back(first == std::string::npos ? std::string() : name.substr(first));
    }
    return names;
}

bool TempFileLeft()
{
    for (const auto& entry : std::filesystem::directory_iterator(fuzz::Folder()))
        if (entry.path().filename().string().find(".tmp") != std::string::npos)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InitEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::WriteInput("Zorit.INI", data, size);
    IniProfile ini(path);

    struct Entry {
        std::string section, key, value;
    };
    std::vector<Entry> seen;
    const std::vector<std::string> sections =
        SectionNames(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : sections) {
        Check(ini.SectionExists(section), "a named section is missing");
        std::vector<std::string> keys = ini.ReadSectionKeys(section);
        if (keys.size() > kMaxKeys)
            keys.resize(kMaxKeys);
        for (const std::string& key : keys) {
            std::string value = ini.ReadString(section, key, kNone);
            Check(value != kNone, "a listed key has no value");
            seen.push_back({section, key, std::move(value)});
        }
    }
    ini.ReadString("System", "WorkingLevel", kNone);

    const std::string target = sections.empty() ? std::string("Fuzz") : sections.front();
    Check(ini.WriteString(target, "FuzzKey", "written"), "write failed");
    Check(ini.ReadString(target, "FuzzKey", kNone) == "written", "written value not read back");
    for (const Entry& e : seen)
        if (!AsciiEqualNoCase(e.key, "FuzzKey") || !AsciiEqualNoCase(e.section, target))
            Check(ini.ReadString(e.section, e.key, kNone) == e.value, "a write changed another key");
    Check(ini.DeleteKey(target, "FuzzKey"), "delete failed");
    Check(!TempFileLeft(), "temporary file left");

    fuzz::ClearFolder();
    return 0;
}
