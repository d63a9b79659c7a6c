#include "picture/render/clipboard_picture.h"

#include <algorithm>
#include <unordered_map>


Bmp8 ClipboardPicture::Copy(PictureClient& client, int32_t width, int32_t rows, int32_t levels,
                            const PaletteTable& palette)
{
    Bmp8 p;
    levels = std::max(1, levels);
    p.width = std::clamp(width, 0, Bmp8::kMaxWidth);
    p.height = std::clamp(rows, 0, Bmp8::kMaxHeight / levels) * levels;
    rows = p.height / levels;
    p.colours = palette.Argb();
    p.pixels.assign(static_cast<size_t>(p.width) * static_cast<size_t>(p.height), 0);
    for (int32_t r = 0; r < rows; ++r) {
        const auto spans = client.GetRowBytes(r, static_cast<uint8_t>(std::min(levels, 255)));
        const int32_t count = std::min<int32_t>(levels, static_cast<int32_t>(spans.size()));
        for (int32_t k = 0; k < count; ++k) {
            const size_t n = std::min<size_t>(p.width, spans[k].size());
            std::copy_n(spans[k].data(), n, p.Line(LevelBlockLine(k, r, rows)));
        }
    }
    return p;
}

void ClipboardPicture::Paste(PictureClient& client, const Bmp8& picture, int32_t width, int32_t levels)
{
    if (levels < 1 || picture.width <= 0)
        return;
    const int32_t rows = picture.height / levels;
    for (int32_t r = 0; r < rows; ++r) {
        const auto spans = client.GetRowBytes(r, static_cast<uint8_t>(std::min(levels, 255)));
        const int32_t count = std::min<int32_t>(levels, static_cast<int32_t>(spans.size()));
        for (int32_t k = 0; k < count; ++k) {
            const uint8_t* line = picture.Line(LevelBlockLine(k, r, rows));
            const size_t n = std::min<size_t>({static_cast<size_t>(std::max(0, width)),
                                               static_cast<size_t>(picture.width), spans[k].size()});
            for (size_t i = 0; i < n; ++i)
                client.FilterPaintColour(line[i], spans[k][i]);
        }
    }
}

QImage ClipboardPicture::ToImage(const Bmp8& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(picture.colours.begin(), picture.colours.end()));
    for (int32_t y = 0; y < picture.height; ++y)
        std::copy_n(picture.Line(y), picture.width, image.scanLine(y));
    return image;
}

Bmp8 ClipboardPicture::FromImage(const QImage& image, const PaletteTable& palette)
{
    Bmp8 p;
    if (image.isNull())
        return p;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    p.width = std::min(rgb.width(), Bmp8::kMaxWidth);
    p.height = std::min(rgb.height(), Bmp8::kMaxHeight);
    p.colours = palette.Argb();
    std::unordered_map<uint32_t, uint8_t> index;
    for (int i = palette.UsedColours(); i >= 0; --i)
        index[palette.Argb()[i] & 0xffffffu] = static_cast<uint8_t>(i);
    p.pixels.assign(static_cast<size_t>(p.width) * static_cast<size_t>(p.height), 0);
    for (int32_t y = 0; y < p.height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y));
        uint8_t* out = p.Line(y);
        for (int32_t x = 0; x < p.width; ++x) {
            const auto found = index.find(line[x] & 0xffffffu);
            out[x] = found == index.end() ? 0 : found->second;
        }
    }
    return p;
}
