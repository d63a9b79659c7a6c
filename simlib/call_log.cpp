#include "simlib/call_log.h"

#include <cstdlib>

#include "simlib/vpsimmod_abi.h"

namespace vpsim {

namespace {
const char kDigits[] = "0123456789abcdef";
}

std::string QuoteText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == '"' || c == '\\') {
            out += "\\x";
            out += kDigits[c >> 4];
            out += kDigits[c & 15];
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

void AppendHex(std::string& out, const uint8_t* data, size_t n)
{
    size_t at = out.size();
    out.resize(at + 2 * n);
    for (size_t i = 0; i < n; ++i) {
        out[at + 2 * i] = kDigits[data[i] >> 4];
        out[at + 2 * i + 1] = kDigits[data[i] & 15];
    }
}

CallLog::~CallLog()
{
    if (file_)
        std::fclose(file_);
}

void CallLog::configure()
{
    const char* env = std::getenv(kLogVariable);
    std::string path = env ? env : "";
    if (path == path_ && (file_ || path.empty()))
        return;
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    path_ = path;
    if (!path_.empty())
        file_ = std::fopen(path_.c_str(), "ab");
}

void CallLog::writeLine(const std::string& line)
{
    if (!file_)
        return;
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

CallLog& Log()
{
    static CallLog log;
    return log;
}

}  // namespace vpsim
