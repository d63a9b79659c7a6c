#include "platform/ini_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/stored_file.h"

namespace {

using Lines = std::vector<std::string>;

std::string_view TrimBlanks(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool IsBlank(std::string_view line)
{
    return TrimBlanks(line).empty();
}

// "[name]" with blanks allowed around the name and the brackets; a header
// whose "]" is missing still opens a section, as an unfinished edit should
// not swallow the keys below it into the one before.
bool SectionOf(std::string_view line, std::string_view& name)
{
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[')
        return false;
    line.remove_prefix(1);
    name = TrimBlanks(line.substr(0, line.find(']')));
    return true;
}

// Any other non-blank line inside a section is a key; one without "=" has an
// empty value. Lines starting with ";" are comments.
bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value)
{
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '[')
        return false;
    const std::size_t eq = line.find('=');
    key = TrimBlanks(line.substr(0, eq));
    value = eq == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(eq + 1));
    return true;
}

struct SectionRange {
    std::size_t header;
    std::size_t end;  // the next header, or the line count
};

std::optional<SectionRange> FindSection(const Lines& lines, std::string_view section)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (!SectionOf(lines[i], name) || !AsciiEqualNoCase(name, section))
            continue;
        std::size_t end = i + 1;
        std::string_view other;
        while (end < lines.size() && !SectionOf(lines[end], other))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const Lines& lines, const SectionRange& range, std::string_view key)
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        std::string_view name, value;
        if (KeyOf(lines[i], name, value) && AsciiEqualNoCase(name, key))
            return i;
    }
    return std::nullopt;
}

enum class LoadResult { Read, Missing, Failed };

LoadResult ReadBytes(const std::string& path, std::string& bytes)
{
    // Settings files are a few kilobytes; a larger one is no settings file.
    constexpr uint64_t kMaxProfileBytes = 16u << 20;
    if (ReadStoredFile(path, kMaxProfileBytes, bytes))
        return LoadResult::Read;
    return errno == ENOENT ? LoadResult::Missing : LoadResult::Failed;
}

// Splits at LF and drops one CR before it, so files from either world read
// alike. Each line is decoded on its own: INI files written on Windows hold
// Windows-1252, ours hold UTF-8, and a file edited by both may hold both.
// Every byte order mark in front goes: a write drops them, and a second one
// left in the first line would turn that line into a header after the write.
Lines SplitLines(std::string_view bytes)
{
    while (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    Lines lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(IsValidUtf8(line) ? std::string(line) : Cp1252ToUtf8(line));
        start = next;
    }
    return lines;
}

std::string JoinLines(const Lines& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes a temporary file next to the target and renames it over the old
// one, so that a crash or a full disk never leaves a half-written profile.
bool ReplaceFile(const std::string& path, std::string_view data)
{
    if (const int err = WriteRefusal(path)) {
        errno = err;
        return false;
    }
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    // The replacement keeps the old file's permissions.
    struct stat old;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    const bool written = WriteAll(fd, data) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        // The caller reports why the write failed, not the clean-up.
        const int err = errno;
        ::unlink(temp.c_str());
        errno = err;
        return false;
    }
    return true;
}

// A value with a line break would turn its tail into a line of its own.
std::string_view FirstLine(std::string_view value)
{
    return value.substr(0, value.find_first_of("\r\n"));
}

}  // namespace

IniProfile::IniProfile(std::string path) : path_(std::move(path)) {}

std::string IniProfile::ReadString(const std::string& section, const std::string& key,
                                   const std::string& def) const
{
    std::string bytes;
    if (ReadBytes(path_, bytes) != LoadResult::Read)
        return def;
    const Lines lines = SplitLines(bytes);
    const auto range = FindSection(lines, section);
    if (!range)
        return def;
    const auto at = FindKey(lines, *range, key);
    if (!at)
        return def;
    std::string_view name, value;
    KeyOf(lines[*at], name, value);
    return std::string(value);
}

bool IniProfile::WriteString(const std::string& section, const std::string& key,
                             const std::string& value)
{
    lastError_ = 0;
    std::string bytes;
    if (ReadBytes(path_, bytes) == LoadResult::Failed)
        return failed();
    Lines lines = SplitLines(bytes);
    const std::string_view stored = FirstLine(value);
    if (const auto range = FindSection(lines, section)) {
        if (const auto at = FindKey(lines, *range, key)) {
            // Keep the name as the file spells it: only the value changes.
            std::string_view name, old;
            KeyOf(lines[*at], name, old);
            lines[*at] = std::string(name) + "=" + std::string(stored);
        } else {
            // After the section's last entry, so the blank line that
            // separates it from the next section stays below.
            std::size_t after = range->end;
            while (after > range->header + 1 && IsBlank(lines[after - 1]))
                --after;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after),
                         key + "=" + std::string(stored));
        }
    } else {
        if (!lines.empty() && !IsBlank(lines.back()))
            lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + std::string(stored));
    }
    const std::string data = JoinLines(lines);
    if (data == bytes)
        return true;
    return ReplaceFile(path_, data) || failed();
}

bool IniProfile::failed()
{
    lastError_ = errno != 0 ? errno : EIO;
    return false;
}

bool IniProfile::DeleteKey(const std::string& section, const std::string& key)
{
    lastError_ = 0;
    std::string bytes;
    const LoadResult loaded = ReadBytes(path_, bytes);
    if (loaded == LoadResult::Failed)
        return failed();
    Lines lines = SplitLines(bytes);
    const auto range = FindSection(lines, section);
    if (!range)
        return true;
    const auto at = FindKey(lines, *range, key);
    if (!at)
        return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
    return ReplaceFile(path_, JoinLines(lines)) || failed();
}

std::vector<std::string> IniProfile::ReadSectionKeys(const std::string& section) const
{
    std::vector<std::string> keys;
    std::string bytes;
    if (ReadBytes(path_, bytes) != LoadResult::Read)
        return keys;
    const Lines lines = SplitLines(bytes);
    const auto range = FindSection(lines, section);
    if (!range)
        return keys;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        std::string_view name, value;
        if (!KeyOf(lines[i], name, value) || name.empty())
            continue;
        bool seen = false;
        for (const std::string& k : keys)
            seen = seen || AsciiEqualNoCase(k, name);
        if (!seen)
            keys.emplace_back(name);
    }
    return keys;
}

bool IniProfile::SectionExists(const std::string& section) const
{
    std::string bytes;
    if (ReadBytes(path_, bytes) != LoadResult::Read)
        return false;
    return FindSection(SplitLines(bytes), section).has_value();
}
