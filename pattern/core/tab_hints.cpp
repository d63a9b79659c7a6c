#include "pattern/core/tab_hints.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/paths.h"

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
    std::ifstream in(found, std::ios::binary);
    if (!in)
        return std::nullopt;
    // A record per panel is all that is read, whatever the file's size.
    std::vector<uint8_t> bytes(count * kTabRecordBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return TabHints(bytes, count);
}
