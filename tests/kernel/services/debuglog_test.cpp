#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "kernel/services/debuglog.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;

namespace {

// The values part of each log line after checking the line against
// ^\d\d:\d\d:\d\d: \d{1,8} (.+ )?\r$ and the milliseconds against the time
// (by hand: std::regex trips GCC's uninitialised-use warning when optimised).
std::vector<std::string> LogValues()
{
    std::vector<std::string> values;
    const std::string text = ReadTestFile(DebugLogPath());
    for (size_t start = 0, nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = text.substr(start, nl - start);
        auto digit = [&](size_t i) { return i < line.size() && line[i] >= '0' && line[i] <= '9'; };
        bool ok = line.size() >= 13 && line.back() == '\r' && line.compare(8, 2, ": ") == 0;
        for (size_t i : {0, 1, 3, 4, 6, 7})
            ok = ok && digit(i);
        ok = ok && line[2] == ':' && line[5] == ':';
        size_t end = 10;
        while (digit(end))
            ++end;
        ok = ok && end > 10 && end <= 18 && line[end] == ' ';
        const std::string rest = ok ? line.substr(end + 1, line.size() - end - 2) : line;
        ok = ok && (rest.empty() || (rest.size() >= 2 && rest.back() == ' '));
        EXPECT_TRUE(ok) << line;
        if (!ok) {
            values.push_back(line);
            continue;
        }
        auto num = [&](size_t from, size_t to) { return std::stol(line.substr(from, to - from)); };
        EXPECT_EQ(num(10, end) / 1000, (num(0, 2) * 60 + num(3, 5)) * 60 + num(6, 8)) << line;
        values.push_back(rest);
    }
    return values;
}

}  // namespace

TEST(DebugLog, LinesAndValues)
{
    WriteTestFile(DebugLogPath(), "old run\r\n");
    DebugLogStart();
    EXPECT_EQ(DebugLogPath(), TestHome() + "Debug.Txt");
    EXPECT_FALSE(fs::exists(DebugLogPath()));

    DebugLog({"Init", "Tools"});
    DebugLog({});
    DebugLog({std::string("Größe"), -7, true, false, 2.5});
    const std::vector<std::string> expected{"Init Tools ", "", "Gr\xf6\xdf" "e -7 True False 2.5 "};
    EXPECT_EQ(LogValues(), expected);
}

TEST(DebugLog, UnwritableLogNeitherHangsNorThrows)
{
    fs::create_directory(DebugLogPath());
    // On a thread of its own: a hang fails here rather than at the ctest timeout.
    auto log = [](const char* text) {
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> finished = done->get_future();
        std::thread([done, text] {
            DebugLogStart();
            DebugLogValue(text);
            done->set_value();
        }).detach();
        return finished.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    };
    ASSERT_TRUE(log("first"));
    ASSERT_TRUE(log("second"));

    // The failed writes released the lock: with the folder gone, logging works.
    fs::remove(DebugLogPath());
    ASSERT_TRUE(log("after"));
    EXPECT_EQ(LogValues(), std::vector<std::string>{"after "});
}
