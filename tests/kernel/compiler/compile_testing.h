#pragma once
// Scripts for the compiler tests: built from lines (CR LF line ends), run
// through the same compile command as kernel_probe, and read back from the
// program dump it prints.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "kernel/model/family_data.h"
#include "tests/tools/compilerun.h"
#include "tests/tools/programdump.h"

namespace compiletest {

using Lines = std::vector<std::string>;

// The first default model with 2 cam systems.
inline std::string M2()
{
    for (const FamilyModel& m : kFamilyModels)
        if (m.camSystems == 2)
            return m.number;
    return {};
}

inline std::string Text(const Lines& lines)
{
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

// Lines from..to (1-based, inclusive) replaced by with.
inline Lines Replace(Lines lines, size_t from, size_t to, const Lines& with)
{
    lines.erase(lines.begin() + long(from - 1), lines.begin() + long(to));
    lines.insert(lines.begin() + long(from - 1), with.begin(), with.end());
    return lines;
}

inline Lines S2()
{
    return {"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";", "[]=MAIN;", "END;",
            "MODUL MAIN;",    "BEGIN", "S1=>,Y+1,K[AB];",       "S1=<,K[AB];", "END;"};
}

inline Lines S3()
{
    return {"MODULSET TEST;", "BEGIN", "$ZR_TYP=" + M2() + ";", "$YMAX=6;", "[AB]=KNIT;", "END;",
            "MODUL KNIT;",    "BEGIN", "S1=>,Y+1,K[AB];",       "S1=<,K[AB];", "END;"};
}

struct Result {
    int rc = 0;
    std::vector<std::string> report;            // the MSG, OK and ERROR lines
    std::map<std::string, std::string> lines;  // "Z 1" -> hex
    std::string dump;
    std::map<char, int> counts;  // lines per list letter

    std::string Last() const { return report.empty() ? std::string() : report.back(); }
    // n bytes of a dump line from byte off, as hex ("" when the line is missing).
    std::string Bytes(const std::string& key, size_t off, size_t n) const
    {
        auto it = lines.find(key);
        if (it == lines.end() || it->second.size() < 2 * (off + n))
            return {};
        return it->second.substr(2 * off, 2 * n);
    }
    bool Has(const std::string& key) const { return lines.count(key) != 0; }
    int Count(char list) const
    {
        auto it = counts.find(list);
        return it == counts.end() ? 0 : it->second;
    }
};

inline Result Compile(const Lines& script, const std::function<void()>& prepare = {})
{
    std::ostringstream out;
    Result r;
    CompilePreparation load;
    if (prepare)
        load = [&](std::ostream&) {
            prepare();
            return true;
        };
    r.rc = RunCompileCommand(Text(script), true, out, load);
    std::istringstream in(out.str());
    std::string line;
    bool inDump = false;
    while (std::getline(in, line)) {
        if (!inDump && line.rfind("K ", 0) == 0)
            inDump = true;
        if (!inDump) {
            r.report.push_back(line);
            continue;
        }
        r.dump += line + "\n";
        size_t hex = line.rfind(' ');
        if (hex != std::string::npos && hex > 0) {
            r.lines[line.substr(0, hex)] = line.substr(hex + 1);
            if (line[0] != 'K' && line[0] != 'R' && line[0] != 'B')
                ++r.counts[line[0]];
        }
    }
    return r;
}

// Hex text of bytes, lower-case, without separators.
inline std::string H(std::initializer_list<int> bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (int b : bytes) {
        s += digits[(b >> 4) & 15];
        s += digits[b & 15];
    }
    return s;
}

}  // namespace compiletest
