#include "picture/core/contrast_colour.h"

#include "picture/core/palette_table.h"

namespace {
bool IsDark(uint8_t r, uint8_t g, uint8_t b)
{
    return r * 30 + g * 59 + b * 11 < 12751;
}
}  // namespace

RgbColour ContrastColour(uint8_t r, uint8_t g, uint8_t b)
{
    return IsDark(r, g, b) ? RgbColour{255, 255, 255} : RgbColour{0, 0, 0};
}

uint32_t ContrastColourRGB(uint32_t packed)
{
    const RgbColour c = ContrastColour(packed & 0xff, (packed >> 8) & 0xff, (packed >> 16) & 0xff);
    return c.r | (c.g << 8) | (static_cast<uint32_t>(c.b) << 16);
}

uint8_t ContrastMarker(uint8_t r, uint8_t g, uint8_t b)
{
    return IsDark(r, g, b) ? kWhiteLettering : kBlackLettering;
}
