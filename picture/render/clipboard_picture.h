#pragma once
// The picture a window copies to the clipboard and pastes back: the levels
// of a range one below the other, each upright (its highest row on top),
// as palette indices.
#include <QImage>
#include <cstdint>

#include "picture/core/bmp8_file.h"
#include "picture/core/palette_table.h"
#include "picture/core/picture_client.h"

class ClipboardPicture {
public:
    // width x (rows x levels) pixels: for r = 0 .. rows - 1 the rows that
    // GetRowBytes(r) gives, level k's on line k x rows + rows - 1 - r.
    static Bmp8 Copy(PictureClient& client, int32_t width, int32_t rows, int32_t levels, const PaletteTable& palette);
    // Writes the picture back through FilterPaintColour: rows = height div
    // levels, the first min(width, picture width) pixels of each line.
    static void Paste(PictureClient& client, const Bmp8& picture, int32_t width, int32_t levels);

    // An Indexed8 image with the picture's colours.
    static QImage ToImage(const Bmp8& picture);
    // Any image as palette indices: each colour becomes the first index 0 ..
    // used colours of exactly that colour, else 0.
    static Bmp8 FromImage(const QImage& image, const PaletteTable& palette);
};
