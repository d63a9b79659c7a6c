#include "picture/core/bmp8_file.h"

#include <unordered_map>

#include "kernel/model/bytes.h"
#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/stored_file.h"

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
constexpr size_t kColourTable = 256 * 4;

constexpr size_t Stride(int32_t width)
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
    put_i32(b.data(), 38, p.xPixelsPerMetre);
    put_i32(b.data(), 42, p.yPixelsPerMetre);
    // Colours used stays 0: all 256, which every reader takes.
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

// Colours in the order they first occur (the file's order, bottom line
// first); past the 255th, index 255.
void ReduceTrueColour(const uint8_t* pixels, size_t stride, bool topDown, Bmp8& p)
{
    std::unordered_map<uint32_t, uint8_t> index;
    p.colours.fill(0xff000000u);
    for (int32_t fileLine = 0; fileLine < p.height; ++fileLine) {
        const uint8_t* in = pixels + stride * static_cast<size_t>(fileLine);
        uint8_t* out = p.Line(topDown ? fileLine : p.height - 1 - fileLine);
        for (int32_t x = 0; x < p.width; ++x, in += 3) {
            const uint32_t rgb = (uint32_t{in[2]} << 16) | (uint32_t{in[1]} << 8) | in[0];
            auto found = index.find(rgb);
            if (found == index.end()) {
                if (index.size() >= 255) {
                    out[x] = 255;
                    continue;
                }
                const auto next = static_cast<uint8_t>(index.size());
                found = index.emplace(rgb, next).first;
                p.colours[next] = 0xff000000u | rgb;
            }
            out[x] = found->second;
        }
    }
}

}  // namespace

std::string WriteBmp8(const std::string& path, const Bmp8& picture)
{
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        return path + ": no picture to write";
    // What the reader would refuse is not written.
    if (picture.width > Bmp8::kMaxWidth || picture.height > Bmp8::kMaxHeight)
        return path + ": picture too large";
    const std::vector<uint8_t> bytes = Encode(picture);
    SafeFileWriter out;
    if (!out.Create(NormalizePath(path)) || !out.Write(bytes.data(), bytes.size()) || !out.Commit())
        return path + ": cannot be written";
    return {};
}

bool ReadBmp8(const std::string& path, Bmp8& picture, std::string& error)
{
    // The largest picture kept, 24 bits a pixel, behind the largest headers
    // and colour table: a larger file is no motif.
    constexpr uint64_t kMaxBmpBytes =
        2048 + uint64_t(Stride(3 * Bmp8::kMaxWidth)) * uint64_t(Bmp8::kMaxHeight);
    std::string bytes;
    if (!ReadStoredFile(NormalizePath(path), kMaxBmpBytes, bytes))
        return Fail(error, path, "cannot be opened");
    const std::vector<uint8_t> b(bytes.begin(), bytes.end());
    bytes = std::string();
    if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M')
        return Fail(error, path, "not a BMP file");
    const uint32_t pixelOffset = get_u32(b.data(), 10);
    const uint32_t headerSize = get_u32(b.data(), 14);
    const int32_t width = get_i32(b.data(), 18);
    const int32_t rawHeight = get_i32(b.data(), 22);
    const uint16_t depth = get_u16(b.data(), 28);
    if (headerSize < kInfoHeader || (depth != 8 && depth != 24))
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
    if (depth == 24)
        used = 0;
    const size_t tableAt = kFileHeader + headerSize;
    const size_t stride = depth == 8 ? Stride(width) : Stride(3 * width);
    if (tableAt + 4 * size_t{used} > b.size() || size_t{pixelOffset} + stride * static_cast<size_t>(height) > b.size())
        return Fail(error, path, "file ends too early");
    picture.width = width;
    picture.height = height;
    picture.xPixelsPerMetre = get_i32(b.data(), 38);
    picture.yPixelsPerMetre = get_i32(b.data(), 42);
    picture.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    picture.trueColour = depth == 24;
    if (depth == 24) {
        ReduceTrueColour(b.data() + pixelOffset, stride, topDown, picture);
        return true;
    }
    picture.colours.fill(0xff000000u);
    for (size_t i = 0; i < used; ++i)
        picture.colours[i] = 0xff000000u | (get_u32(b.data(), tableAt + 4 * i) & 0xffffffu);
    for (int32_t y = 0; y < height; ++y) {
        const size_t fileLine = topDown ? static_cast<size_t>(y) : static_cast<size_t>(height - 1 - y);
        std::copy_n(b.data() + pixelOffset + stride * fileLine, width, picture.Line(y));
    }
    return true;
}
