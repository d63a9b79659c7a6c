#include "picture/core/palette_file.h"

#include <fstream>

#include "kernel/model/globals.h"
#include "kernel/services/debuglog.h"
#include "platform/paths.h"

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
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return PaletteLoad::Missing;
    std::array<uint8_t, kPaletteFileBytes> bytes{};
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A short file would leave the table half old, half new: keep it whole.
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        DebugLog({"Palette file too short:", path, static_cast<int64_t>(in.gcount())});
        return PaletteLoad::TooShort;
    }
    table.SetEntries(bytes);
    return PaletteLoad::Loaded;
}
