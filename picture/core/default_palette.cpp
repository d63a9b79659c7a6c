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

// The simulation's yarn carriers, entry 32 + 8 x (rail - 1) + (carrier - 1):
// one hue family per rail, and within a rail each carrier apart in hue,
// brightness and saturation, so that carriers 1A and 1B, or the rails, are
// never taken for one another. All dark enough to read on the white fabric
// ground. Entries 32 to 41 stand for symbols in the pattern as well: they
// stay distinct from 0 to 31 and from each other.
constexpr Rgb kCarrierColours[64] = {
    {41, 80, 120},  {68, 182, 184}, {102, 210, 232}, {15, 64, 105}, {35, 191, 196}, {69, 219, 222}, {16, 77, 230}, {5, 148, 161},
    {120, 47, 41},  {184, 68, 114}, {232, 102, 135}, {105, 18, 15}, {196, 35, 97},  {222, 69, 130}, {230, 80, 16}, {161, 5, 57},
    {41, 120, 54},  {105, 184, 68}, {124, 232, 102}, {15, 105, 25}, {84, 196, 35},  {117, 222, 69}, {16, 230, 98}, {44, 161, 5},
    {93, 41, 120},  {89, 68, 184},  {145, 102, 232}, {70, 15, 105}, {68, 35, 196},  {97, 69, 222},  {205, 16, 230}, {44, 5, 161},
    {120, 87, 41},  {184, 79, 68},  {232, 135, 102}, {105, 63, 15}, {196, 54, 35},  {222, 84, 69},  {230, 187, 16}, {161, 31, 5},
    {41, 120, 120}, {68, 184, 128}, {102, 232, 189}, {15, 105, 100}, {35, 196, 121}, {69, 222, 148}, {16, 183, 230}, {5, 161, 96},
    {120, 41, 87},  {176, 68, 184}, {232, 102, 221}, {105, 15, 72}, {188, 35, 196}, {212, 69, 222}, {230, 16, 94}, {161, 5, 161},
    {120, 120, 41}, {184, 128, 68}, {232, 189, 102}, {105, 100, 15}, {196, 121, 35}, {222, 148, 69}, {183, 230, 16}, {161, 96, 5},
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

// The simulation draws its grid lines in this entry.
constexpr int kSimulationGrid = 214;

void Put(std::array<uint8_t, kPaletteFileBytes>& bytes, int index, Rgb c)
{
    bytes[4 * index] = c.r;
    bytes[4 * index + 1] = c.g;
    bytes[4 * index + 2] = c.b;
}

// The simulation's stitch densities 0 to 25 (x 100) at 210 to 235: amber for
// loose, dark wine for tight, each visible on the white fabric ground. The
// simulation draws its grid in entry 214 as well: that entry is a light grey
// instead, so that the grid never hides a stitch (density 4 then shows in
// the grid's grey).
void PutDensityRamp(std::array<uint8_t, kPaletteFileBytes>& bytes)
{
    constexpr Rgb kLoose{240, 190, 60}, kTight{110, 20, 60};
    auto mix = [](uint8_t a, uint8_t b, int d) { return static_cast<uint8_t>(a + (int(b) - a) * d / 25); };
    for (int d = 0; d <= 25; ++d)
        Put(bytes, 210 + d, {mix(kLoose.r, kTight.r, d), mix(kLoose.g, kTight.g, d), mix(kLoose.b, kTight.b, d)});
    Put(bytes, kSimulationGrid, {208, 208, 208});
}

std::array<uint8_t, kPaletteFileBytes> MakeDefault()
{
    std::array<uint8_t, kPaletteFileBytes> bytes{};
    for (int i = 0; i < 42; ++i)
        Put(bytes, i, kCellColours[i]);
    for (int i = 0; i < 64; ++i)
        Put(bytes, 32 + i, kCarrierColours[i]);
    for (int i = 0; i < 16; ++i)
        Put(bytes, 128 + i, kTints[i]);
    PutDensityRamp(bytes);
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
