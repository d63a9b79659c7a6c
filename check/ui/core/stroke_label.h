#pragma once
// The checker's stroke label as the simulation hands it back for a row
// ("S0003 Z0012 System2 YV0001 YH0001"): where the list windows go.
#include <cstdint>
#include <string_view>

struct StrokeLabel {
    // 0: the label names none (or one out of reach), the list stays.
    int32_t sLine = 0;
    int32_t zRow = 0;
    // The digit after the system word, 0 when none.
    int system = 0;
};

inline constexpr int32_t kMaxLabelLine = 20000;

// The numbers after "S" and " Z" are read up to the next blank, whatever
// their width. A label that does not start with "S" names nothing.
StrokeLabel ParseStrokeLabel(std::string_view label, std::string_view systemWord);
