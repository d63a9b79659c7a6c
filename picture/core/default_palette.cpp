#include "picture/core/default_palette.h"

namespace {
struct Rgb {
    uint8_t r, g, b;
};

// One colour per symbol character: white, near-black, then two rings of
// hues, bright and muted, so that neighbouring values stay apart.
constexpr Rgb kCellColours[42] = {
    {255, 255, 255},
    {40, 40, 40},
    {242, 36, 36},
    {242, 98, 36},
    {242, 160, 36},
    {242, 222, 36},
    {201, 242, 36},
    {139, 242, 36},
    {78, 242, 36},
    {36, 242, 57},
    {36, 242, 119},
    {36, 242, 180},
    {36, 242, 242},
    {36, 180, 242},
    {36, 119, 242},
    {36, 57, 242},
    {78, 36, 242},
    {139, 36, 242},
    {201, 36, 242},
    {242, 36, 222},
    {242, 36, 160},
    {242, 36, 98},
    {191, 118, 105},
    {191, 144, 105},
    {191, 170, 105},
    {187, 191, 105},
    {161, 191, 105},
    {135, 191, 105},
    {109, 191, 105},
    {105, 191, 127},
    {105, 191, 153},
    {105, 191, 178},
    {105, 178, 191},
    {105, 153, 191},
    {105, 127, 191},
    {109, 105, 191},
    {135, 105, 191},
    {161, 105, 191},
    {187, 105, 191},
    {191, 105, 170},
    {191, 105, 144},
    {191, 105, 118}
};

// Half-bright tints: the blended view adds half of a cell's colour to one of
// these, so the sum stays within a byte.
constexpr Rgb kTints[16] = {
    {115, 46, 46},
    {115, 72, 46},
    {115, 98, 46},
    {106, 115, 46},
    {80, 115, 46},
    {55, 115, 46},
    {46, 115, 63},
    {46, 115, 89},
    {46, 115, 115},
    {46, 89, 115},
    {46, 63, 115},
    {55, 46, 115},
    {80, 46, 115},
    {106, 46, 115},
    {115, 46, 98},
    {115, 46, 72}
};

void Put(std::array<uint8_t, kPaletteFileBytes>& bytes, int index, Rgb c)
{
    bytes[4 * index] = c.r;
    bytes[4 * index + 1] = c.g;
    bytes[4 * index + 2] = c.b;
}

std::array<uint8_t, kPaletteFileBytes> MakeDefault()
{
    std::array<uint8_t, kPaletteFileBytes> bytes{};
    for (int i = 0; i < 42; ++i)
        Put(bytes, i, kCellColours[i]);
    for (int i = 0; i < 16; ++i)
        Put(bytes, 128 + i, kTints[i]);
    Put(bytes, kGridColour, {160, 160, 160});
    Put(bytes, kAccentGridColour, {96, 96, 96});
    Put(bytes, kWhiteLettering, {255, 255, 255});
    Put(bytes, kBlackLettering, {0, 0, 0});
    Put(bytes, kFeedbackColour, {255, 0, 255});
    Put(bytes, kCrosshairColour, {0, 200, 255});
    Put(bytes, kMarkedRangeColour, {255, 128, 0});
    return bytes;
}
}  // namespace

const std::array<uint8_t, kPaletteFileBytes>& DefaultPaletteBytes()
{
    static const std::array<uint8_t, kPaletteFileBytes> bytes = MakeDefault();
    return bytes;
}
