#include "tests/pattern/motif/motif_files.h"

#include "kernel/model/bytes.h"
#include "tests/support/test_env.h"

namespace motif_files {

std::array<uint32_t, 256> PPal()
{
    std::array<uint32_t, 256> pal{};
    for (uint32_t i = 0; i < 256; ++i)
        pal[i] = 0xff000000u | (i << 16) | ((3 * i % 256) << 8) | (255 - i);
    return pal;
}

std::string PPalBytes()
{
    std::string b;
    for (uint32_t c : PPal())
        b += {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
    return b;
}

Bmp8 Picture(const std::vector<std::vector<uint8_t>>& lines)
{
    Bmp8 p;
    p.width = lines.empty() ? 0 : static_cast<int32_t>(lines.front().size());
    p.height = static_cast<int32_t>(lines.size());
    p.colours = PPal();
    for (const auto& line : lines)
        p.pixels.insert(p.pixels.end(), line.begin(), line.end());
    return p;
}

std::vector<std::vector<uint8_t>> Lines(const Bmp8& picture)
{
    std::vector<std::vector<uint8_t>> lines;
    for (int32_t y = 0; y < picture.height; ++y)
        lines.emplace_back(picture.Line(y), picture.Line(y) + picture.width);
    return lines;
}

std::string PcxHeaderBytes(int bits, int planes, int bytesPerLine, int width, int height)
{
    std::string h(128, '\0');
    auto* u = reinterpret_cast<uint8_t*>(h.data());
    u[0] = 10;
    u[1] = 5;
    u[2] = 1;
    u[3] = static_cast<uint8_t>(bits);
    put_u16(u, 8, static_cast<uint16_t>(width - 1));
    put_u16(u, 10, static_cast<uint16_t>(height - 1));
    put_u16(u, 12, static_cast<uint16_t>(width));
    put_u16(u, 14, static_cast<uint16_t>(height));
    u[65] = static_cast<uint8_t>(planes);
    put_u16(u, 66, static_cast<uint16_t>(bytesPerLine));
    return h;
}

std::string TenByTwoPcx()
{
    return PcxHeaderBytes(8, 1, 10, 10, 2) + std::string("\xc1\xc0\xc1\x05\xc8\x07\xca\xff") + "\x0c" + PPalBytes();
}

std::string PilPython()
{
    for (const char* python : {"/usr/bin/python3", "python3"})
        if (RunCommand(std::string(python) + " -c 'import PIL' 2>/dev/null") == 0)
            return python;
    return {};
}

}  // namespace motif_files
