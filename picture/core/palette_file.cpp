#include "picture/core/palette_file.h"

#include <cstring>

#include "kernel/model/globals.h"
#include "kernel/services/debuglog.h"
#include "platform/paths.h"
#include "platform/stored_file.h"

std::string PaletteFilePath(const std::string& name)
{
    if (name.empty())
        return {};
    const bool isPath = name.find_first_of("/\\") != std::string::npos;
    return FindExisting(isPath ? NormalizePath(name) : ProgrammPfad + name);
}

PaletteLoad LoadPaletteFile(PaletteTable& table, const std::string& name)
{
    const std::string path = PaletteFilePath(name);
    if (path.empty())
        return PaletteLoad::Missing;
    // Only the first 1024 bytes count, whatever follows them.
    std::string read;
    if (!ReadStoredFilePrefix(path, kPaletteFileBytes, read))
        return PaletteLoad::Missing;
    // A short file would leave the table half old, half new: keep it whole.
    if (read.size() != kPaletteFileBytes) {
        DebugLog({"Palette file too short:", path, static_cast<int64_t>(read.size())});
        return PaletteLoad::TooShort;
    }
    std::array<uint8_t, kPaletteFileBytes> bytes{};
    std::memcpy(bytes.data(), read.data(), bytes.size());
    table.SetEntries(bytes);
    return PaletteLoad::Loaded;
}
