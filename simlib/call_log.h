#pragma once
// The call log: one line per entry call, written after the call returns, and
// one line per callback. Only active while VPSIMMOD_LOG names a file.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace vpsim {

// A text in double quotes, bytes below 0x20, '"' and '\' as \xNN.
std::string QuoteText(std::string_view text);
// Lower-case hex, two digits a byte.
void AppendHex(std::string& out, const uint8_t* data, size_t n);

class CallLog {
public:
    ~CallLog();
    // Opens the file VPSIMMOD_LOG names (appending); closes the log when
    // the variable is unset or empty.
    void configure();
    bool on() const { return file_ != nullptr; }
    void writeLine(const std::string& line);

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

CallLog& Log();

}  // namespace vpsim
