#pragma once
// What pointing at a simulated cell tells: the stroke label, the carrier,
// the stitch density and the racking, for the status panel and the hint.
#include <cstdint>
#include <string>

struct SimCellInfo {
    std::string label;
    // The carrier over all rails (1..64), 0 for none.
    uint8_t carrier = 0;
    // The window's text for the density (empty: none).
    std::string density;
    int8_t racking = 0;
};

// The translated words, as the window keeps them: " Ff", " Festigkeit ",
// " Versatz".
struct SimStatusWords {
    std::string ff = " Ff";
    std::string density = " Festigkeit ";
    std::string racking = " Versatz";
};

// "2A": the carrier's number on its rail and the rail's letter.
std::string CarrierText(uint8_t carrier);
// "3: L" for 3, "2: R" for -2, empty for 0.
std::string RackingText(int8_t racking);
// Status panel 3: each part only when it says something.
std::string SimStatusText(const SimCellInfo& info, const SimStatusWords& words);
// The hint: the same parts, one a line (without leading blanks).
std::string SimHintText(const SimCellInfo& info, const SimStatusWords& words);
