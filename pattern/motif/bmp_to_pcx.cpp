#include "pattern/motif/motif_exchange.h"
#include "pattern/motif/pcx_header.h"
#include "picture/core/bmp8_file.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

namespace {

// Bytes gathered before they go to the file.
constexpr size_t kChunk = 1 << 16;

// One line of the picture as runs, the default colour written as 255.
void EncodeLine(const uint8_t* line, int32_t width, uint8_t defaultColour, std::vector<uint8_t>& out)
{
    auto value = [&](int32_t x) { return line[x] == defaultColour ? uint8_t{255} : line[x]; };
    int32_t x = 0;
    while (x < width) {
        const uint8_t v = value(x);
        int32_t end = x + 1;
        while (end < width && value(end) == v)
            ++end;
        WritePcxRun(end - x, v, out);
        x = end;
    }
}

void AppendPalette(const Bmp8& p, std::vector<uint8_t>& out)
{
    out.push_back(PcxHeader::kPaletteMarker);
    for (uint32_t c : p.colours) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
}

}  // namespace

void WritePcxRun(int32_t count, uint8_t value, std::vector<uint8_t>& out)
{
    if (count <= 0)
        return;
    if (count >= 64) {
        out.insert(out.end(), 2 * static_cast<size_t>(count / 63), 0);
        for (auto it = out.end() - 2 * (count / 63); it != out.end(); it += 2) {
            it[0] = 0xFF;
            it[1] = value;
        }
        count %= 63;
    }
    if (count == 0)
        return;
    if (count == 1 && value < 63) {
        out.push_back(value);
        return;
    }
    out.push_back(static_cast<uint8_t>(0xC0 + count));
    out.push_back(value);
}

ExchangeResult BmpToPcx(const std::string& bmpPath, const std::string& pcxPath, uint8_t defaultColour)
{
    ExchangeResult result;
    Bmp8 picture;
    if (!ReadBmp8(bmpPath, picture, result.error)) {
        result.fault = ExchangeFault::Input;
        return result;
    }
    result.width = picture.width;
    result.height = picture.height;
    const PcxHeader header = PcxHeader::ForEightBits(picture.width, picture.height);
    std::vector<uint8_t> out(header.bytes.begin(), header.bytes.end());
    out.reserve(kChunk + 4 * static_cast<size_t>(picture.width) + PcxHeader::kPaletteBytes + 1);
    SafeFileWriter file;
    bool ok = file.Create(NormalizePath(pcxPath));
    for (int32_t y = 0; ok && y < picture.height; ++y) {
        EncodeLine(picture.Line(y), picture.width, defaultColour, out);
        if (out.size() >= kChunk) {
            ok = file.Write(out.data(), out.size());
            out.clear();
        }
    }
    AppendPalette(picture, out);
    if (!ok || !file.Write(out.data(), out.size()) || !file.Commit()) {
        result.fault = ExchangeFault::Output;
        result.error = pcxPath + ": cannot be written";
    }
    return result;
}
