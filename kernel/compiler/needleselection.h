#pragma once
// Needle selections of the system statements: the bracket texts that write
// the selection entries of a side, and the fix-up that moves a colour
// density into stitch density 1 when entry 2 only repeats entries 0 and 1.
#include <cstdint>
#include <string>

class ZLineWriter;

// Entries 0..2, and the pairs the bracket forms write.
inline constexpr uint8_t kEntries0And2 = 10;
inline constexpr uint8_t kEntries1And2 = 11;

// The named selection a bracket text after "!" stands for ("RR", "Auto",
// "1:1", "2:1", "-1:1", "-2:1", "Nz", compared without regard to case):
// "!", the index, the text's upper-case third and its fourth character
// (where it has them). A text that names none comes back as it is.
std::string NamedSelection(const std::string& text);

// item starts with "[": takes the bracket off it and writes its text as
// entry (or entries) of the writer's side. 404 without "]"; "[]" writes
// nothing.
int32_t SetNeedleSelection(std::string& item, uint8_t entry, const ZLineWriter& z);

// For every system and side of the writer's line (only with the work
// record's density fix-up switch on). firstColourDensityLine: where the
// colour-specific stitch densities begin.
int32_t CompleteSelections(const ZLineWriter& z, uint16_t firstColourDensityLine);
