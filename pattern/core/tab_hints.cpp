#include "pattern/core/tab_hints.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/stored_file.h"

std::vector<std::string> TabHints(std::span<const uint8_t> bytes, size_t count)
{
    const size_t records = std::min(count, bytes.size() / kTabRecordBytes);
    std::vector<std::string> hints;
    hints.reserve(records);
    for (size_t i = 0; i < records; ++i) {
        const uint8_t* r = bytes.data() + i * kTabRecordBytes;
        hints.push_back(std::to_string(r[0] | (r[1] << 8)));
    }
    return hints;
}

std::optional<std::vector<std::string>> ReadTabHints(const std::string& path, size_t count)
{
    const std::string found = FindExisting(path);
    if (found.empty())
        return std::nullopt;
    // A record per panel is all that is read, whatever the file's size.
    std::string read;
    if (!ReadStoredFilePrefix(found, count * kTabRecordBytes, read))
        return std::nullopt;
    const std::vector<uint8_t> bytes(read.begin(), read.end());
    return TabHints(bytes, count);
}
