#include "picture/core/palette_table.h"

#include "picture/core/contrast_colour.h"
#include "picture/core/default_palette.h"

PaletteTable::PaletteTable()
{
    SetEntries(DefaultPaletteBytes());
    // Until a palette file is read every colour counts as used.
    usedColours_ = 255;
}

void PaletteTable::SetEntries(const std::array<uint8_t, kPaletteFileBytes>& bytes)
{
    table_ = bytes;
    usedColours_ = 255;
    for (int i = 0; i < 256; ++i) {
        uint8_t* e = &table_[4 * i];
        if (usedColours_ == 255 && i >= 2 && e[0] == 0 && e[1] == 0 && e[2] == 0)
            usedColours_ = static_cast<uint8_t>(i - 1);
        e[3] = ContrastMarker(e[0], e[1], e[2]);
        argb_[i] = 0xff000000u | (uint32_t{e[0]} << 16) | (uint32_t{e[1]} << 8) | e[2];
    }
    const uint8_t* c = &table_[4 * kPackedColour];
    rgb204_ = c[0] | (uint32_t{c[1]} << 8) | (uint32_t{c[2]} << 16);
}
