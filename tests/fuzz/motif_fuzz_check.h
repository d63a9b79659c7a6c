#pragma once
// What the PCX and BMP targets check of a conversion: a refusal leaves the
// output file byte for byte; an accepted file reads back at its header's
// size, and its cells and colours come back through the other converter.
#include <cstdint>
#include <string>

#include "picture/core/bmp8_file.h"

namespace fuzz {

// The file the converters write over: what it holds before each run.
inline const std::string kSentinel = "the motif kept while a conversion fails";

// The cells and colours the other converter must give back: the default
// colour 0 stands for 255 in a PCX, so a cell of 255 returns as 0.
inline bool SameMotif(const Bmp8& expected, const Bmp8& back)
{
    if (back.width != expected.width || back.height != expected.height || back.colours != expected.colours ||
        back.pixels.size() != expected.pixels.size())
        return false;
    for (size_t i = 0; i < back.pixels.size(); ++i)
        if (back.pixels[i] != (expected.pixels[i] == 255 ? 0 : expected.pixels[i]))
            return false;
    return true;
}

}  // namespace fuzz
