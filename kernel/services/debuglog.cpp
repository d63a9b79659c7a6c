#include "kernel/services/debuglog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <type_traits>

#include <fcntl.h>
#include <unistd.h>

#include "kernel/model/globals.h"
#include "platform/codepage.h"

namespace {

// Serialises the writers of this process. A guard releases it on every
// path: a lock left set by a failed write used to stall the next caller.
std::mutex logMutex;

std::string ValueText(const LogValue& value)
{
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return Utf8ToCp1252(v);
            } else if constexpr (std::is_same_v<T, const char*>) {
                return v ? Utf8ToCp1252(v) : std::string();
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "True" : "False";
            } else if constexpr (std::is_same_v<T, double>) {
                char buf[40];
                std::snprintf(buf, sizeof buf, "%.15g", v);
                return buf;
            } else {
                return std::to_string(v);
            }
        },
        value);
}

// "HH:MM:SS: ms " with both parts from one clock reading, so the
// milliseconds since midnight agree with the time of day.
std::string TimePrefix()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&secs, &local);
    const long sinceMidnight =
        ((local.tm_hour * 60L + local.tm_min) * 60L + local.tm_sec) * 1000L + static_cast<long>(ms);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d: %ld ", local.tm_hour, local.tm_min, local.tm_sec,
                  sinceMidnight);
    return buf;
}

void AppendLine(const std::string& line)
{
    // O_APPEND creates the file for the first line of a run and appends the
    // rest. A folder in the file's place just makes the open fail.
    const int fd = ::open(DebugLogPath().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    const char* p = line.data();
    size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0)
            break;
        p += n;
        left -= static_cast<size_t>(n);
    }
    ::close(fd);
}

}  // namespace

std::string DebugLogPath()
{
    // Formed from ProgrammPfad at each call: the program folder is fixed once
    // start-up has set it, and tests point it at a fresh folder per case.
    return ProgrammPfad + "Debug.Txt";
}

void DebugLogStart()
{
    try {
        std::lock_guard<std::mutex> lock(logMutex);
        // unlink leaves a folder of that name alone.
        ::unlink(DebugLogPath().c_str());
    } catch (...) {
    }
}

void DebugLog(std::initializer_list<LogValue> values)
{
    // The log is written from exception handlers too: it must never throw.
    try {
        std::string line = TimePrefix();
        for (const LogValue& v : values) {
            line += ValueText(v);
            line += ' ';
        }
        line += "\r\n";
        std::lock_guard<std::mutex> lock(logMutex);
        AppendLine(line);
    } catch (...) {
    }
}

void DebugLogValue(const LogValue& value)
{
    DebugLog({value});
}
