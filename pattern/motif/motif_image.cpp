#include "pattern/motif/motif_image.h"

#include <algorithm>
#include <cstddef>

MotifImage MotifImage::Blank(int32_t width, int32_t rows, int32_t levels, uint8_t fill)
{
    MotifImage m;
    m.width = std::max(0, width);
    m.levels = std::max(1, levels);
    m.height = std::max(0, rows) * m.levels;
    m.indices.assign(static_cast<size_t>(m.width) * static_cast<size_t>(m.height), fill);
    return m;
}

MotifImage MotifImage::FromBmp(const Bmp8& picture, int32_t levels)
{
    MotifImage m;
    m.levels = std::max(1, levels);
    m.width = picture.width;
    m.height = picture.height / m.levels * m.levels;
    m.colours = picture.colours;
    const size_t cells = std::min(picture.pixels.size(), static_cast<size_t>(m.width) * static_cast<size_t>(m.height));
    m.indices.assign(picture.pixels.begin(), picture.pixels.begin() + static_cast<std::ptrdiff_t>(cells));
    m.indices.resize(static_cast<size_t>(m.width) * static_cast<size_t>(m.height), 0);
    return m;
}

Bmp8 MotifImage::ToBmp() const
{
    Bmp8 p;
    p.width = width;
    p.height = height;
    p.colours = colours;
    p.pixels = indices;
    return p;
}
