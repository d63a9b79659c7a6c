#pragma once
// Helpers of the simulation library tests: running sim_probe, reading the
// call log, the variant builds.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

// The variant build <name> of the library (v35, v37, nojacquard, nozeilefertig).
std::string SimVariant(const std::string& name);
// Copies a library file into folder as libVpSimMod.so.
void PlaceLibrary(const std::string& library, const std::string& folder);

// Runs sim_probe (from dir, default the tools folder) with the log going to
// logPath (none when empty); stdout into out, exit status returned.
int RunSimProbe(const std::string& args, std::string* out, const std::string& logPath = "",
                const std::string& probe = "");
std::vector<std::string> ReadLogLines(const std::string& path);

// One line of the call log.
struct LogLine {
    std::string entry;
    std::vector<uint8_t> block;            // as received
    std::map<int, std::string> fields;     // +off => text (unquoted) or array hex
    std::vector<uint8_t> after;            // after " => "
    bool ignored = false;
};
LogLine ParseLogLine(const std::string& line);
std::vector<uint8_t> FromHex(const std::string& hex);
std::string ToHex(const uint8_t* data, size_t n);
