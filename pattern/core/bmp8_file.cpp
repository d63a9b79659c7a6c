#include "pattern/core/bmp8_file.h"

#include <fstream>
#include <iterator>

#include "kernel/model/bytes.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
constexpr size_t kColourTable = 256 * 4;

size_t Stride(int32_t width)
{
    return (static_cast<size_t>(width) + 3) & ~size_t{3};
}

std::vector<uint8_t> Encode(const Bmp8& p)
{
    const size_t stride = Stride(p.width);
    const size_t offset = kFileHeader + kInfoHeader + kColourTable;
    std::vector<uint8_t> b(offset + stride * static_cast<size_t>(p.height), 0);
    b[0] = 'B';
    b[1] = 'M';
    put_u32(b.data(), 2, static_cast<uint32_t>(b.size()));
    put_u32(b.data(), 10, static_cast<uint32_t>(offset));
    put_u32(b.data(), 14, kInfoHeader);
    put_i32(b.data(), 18, p.width);
    put_i32(b.data(), 22, p.height);
    put_u16(b.data(), 26, 1);
    put_u16(b.data(), 28, 8);
    put_u32(b.data(), 34, static_cast<uint32_t>(stride * static_cast<size_t>(p.height)));
    put_u32(b.data(), 46, 256);
    for (size_t i = 0; i < 256; ++i)
        put_u32(b.data(), kFileHeader + kInfoHeader + 4 * i, p.colours[i] & 0xffffffu);
    // The file keeps the bottom line first.
    for (int32_t y = 0; y < p.height; ++y)
        std::copy_n(p.Line(y), p.width, b.data() + offset + stride * static_cast<size_t>(p.height - 1 - y));
    return b;
}

bool Fail(std::string& error, const std::string& path, const char* why)
{
    error = path + ": " + why;
    return false;
}

}  // namespace

std::string WriteBmp8(const std::string& path, const Bmp8& picture)
{
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        return path + ": no picture to write";
    const std::vector<uint8_t> bytes = Encode(picture);
    SafeFileWriter out;
    if (!out.Create(NormalizePath(path)) || !out.Write(bytes.data(), bytes.size()) || !out.Commit())
        return path + ": cannot be written";
    return {};
}

bool ReadBmp8(const std::string& path, Bmp8& picture, std::string& error)
{
    std::ifstream in(NormalizePath(path), std::ios::binary);
    if (!in)
        return Fail(error, path, "cannot be opened");
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M')
        return Fail(error, path, "not a BMP file");
    const uint32_t pixelOffset = get_u32(b.data(), 10);
    const uint32_t headerSize = get_u32(b.data(), 14);
    const int32_t width = get_i32(b.data(), 18);
    const int32_t rawHeight = get_i32(b.data(), 22);
    if (headerSize < kInfoHeader || get_u16(b.data(), 28) != 8)
        return Fail(error, path, "not an 8-bit BMP");
    if (get_u32(b.data(), 30) != 0)
        return Fail(error, path, "compressed BMP");
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        return Fail(error, path, "picture of zero size");
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    if (width > Bmp8::kMaxWidth || height > Bmp8::kMaxHeight)
        return Fail(error, path, "picture too large");
    uint32_t used = get_u32(b.data(), 46);
    if (used == 0 || used > 256)
        used = 256;
    const size_t tableAt = kFileHeader + headerSize;
    const size_t stride = Stride(width);
    if (tableAt + 4 * size_t{used} > b.size() || pixelOffset + stride * static_cast<size_t>(height) > b.size())
        return Fail(error, path, "file ends too early");
    picture.width = width;
    picture.height = height;
    picture.colours.fill(0xff000000u);
    for (size_t i = 0; i < used; ++i)
        picture.colours[i] = 0xff000000u | (get_u32(b.data(), tableAt + 4 * i) & 0xffffffu);
    picture.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        const size_t fileLine = topDown ? static_cast<size_t>(y) : static_cast<size_t>(height - 1 - y);
        std::copy_n(b.data() + pixelOffset + stride * fileLine, width, picture.Line(y));
    }
    return true;
}
