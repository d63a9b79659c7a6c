#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsWithDrive(std::string_view path)
{
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::size_t LastSeparator(std::string_view path)
{
    return path.find_last_of("/\\:");
}

std::vector<std::string> SplitComponents(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path, start, end - start);
        start = end + 1;
    }
    return parts;
}

// The entry of folder that stands for name: the name itself when it exists
// (even a dangling link, so that a write replaces rather than duplicates it),
// else the first case-insensitive match in byte order, so the choice does not
// depend on the order the file system lists the folder in.
std::string MatchInFolder(const std::string& folder, const std::string& name)
{
    struct stat st;
    if (::lstat((folder + name).c_str(), &st) == 0)
        return name;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            ::closedir);
    if (!dir)
        return {};
    std::string best;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate = entry->d_name;
        if (candidate == "." || candidate == "..")
            continue;
        if (AsciiEqualNoCase(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    return best;
}

struct Walk {
    std::string path;
    bool found = false;
};

// Follows the normalised path component by component. Once a component is
// missing the rest is taken as given: that is the name a new file gets.
Walk WalkPath(std::string_view input)
{
    const std::string normal = NormalizePath(input);
    if (normal.empty())
        return {};
    Walk walk;
    walk.found = true;
    walk.path = normal.front() == '/' ? "/" : "";
    const std::vector<std::string> parts = SplitComponents(normal);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (walk.found && part != "." && part != "..") {
            const std::string match = MatchInFolder(walk.path, part);
            if (match.empty())
                walk.found = false;
            walk.path += match.empty() ? part : match;
        } else {
            walk.path += part;
        }
        if (i + 1 < parts.size())
            walk.path += '/';
    }
    if (normal.back() == '/' && walk.path.back() != '/')
        walk.path += '/';
    return walk;
}

}  // namespace

std::string DriveRoot()
{
    const char* env = std::getenv("ZORIT_DRIVE_ROOT");
    std::string root = (env && *env) ? env : "/";
    if (root.back() != '/')
        root += '/';
    return root;
}

std::string NormalizePath(std::string_view path)
{
    std::string out(path);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    if (!StartsWithDrive(out))
        return out;
    // Every drive letter is the same folder here: the stored paths name the
    // drives of one Windows machine, all of which live below one root now.
    // "C:foo" (relative to the drive's current folder) starts at that root too.
    std::size_t rest = 2;
    while (rest < out.size() && out[rest] == '/')
        ++rest;
    return DriveRoot() + out.substr(rest);
}

std::string FileNamePart(std::string_view path)
{
    const std::size_t sep = LastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string FolderPart(std::string_view path)
{
    const std::size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string AppendSeparator(std::string_view path)
{
    if (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        return std::string(path);
    const bool windowsStyle = path.find('\\') != std::string_view::npos || StartsWithDrive(path);
    return std::string(path) + (windowsStyle ? '\\' : '/');
}

std::string ReplaceExtension(std::string_view path, std::string_view ext)
{
    const std::size_t sep = LastSeparator(path);
    const std::size_t nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t baseEnd = (dot != std::string_view::npos && dot >= nameStart) ? dot : path.size();
    if (!ext.empty() && ext.front() == '.')
        ext.remove_prefix(1);
    std::string out(path.substr(0, baseEnd));
    out += '.';
    out += ext;
    return out;
}

std::string ExecutablePath()
{
    std::string buf(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < buf.size()) {
            buf.resize(static_cast<std::size_t>(n));
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

std::string ExecutableFolder()
{
    const std::string exe = ExecutablePath();
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return "./";
    return exe.substr(0, slash + 1);
}

std::string FindExisting(std::string_view path)
{
    Walk walk = WalkPath(path);
    return walk.found ? std::move(walk.path) : std::string();
}

std::string ResolveForWrite(std::string_view path)
{
    return WalkPath(path).path;
}

std::string AsciiUpper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = UpperAscii(c);
    return out;
}

std::string AsciiLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}
