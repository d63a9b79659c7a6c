#pragma once
// Black or white lettering on a cell colour, by the colour's weighted
// brightness (red 30, green 59, blue 11).
#include <cstdint>

struct RgbColour {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const RgbColour&) const = default;
};

// White when r x 30 + g x 59 + b x 11 is below 12751, else black.
RgbColour ContrastColour(uint8_t r, uint8_t g, uint8_t b);
// The same on a packed colour (red in the low byte); gives a packed colour.
uint32_t ContrastColourRGB(uint32_t packed);
// The palette's lettering index for a colour: 202 (white) or 203 (black).
uint8_t ContrastMarker(uint8_t r, uint8_t g, uint8_t b);
