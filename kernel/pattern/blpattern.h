#pragma once
// The design program's pattern layers (.Bl2, .Bl3, .Bl4): rows of cells,
// plain or run-length coded, read into one pattern plane.
#include <cstdint>
#include <string>

// Reads fileName (found in any letter case) into plane 0..2 and sets the
// program header's pattern size from it; on success the plane is marked
// present. "Patrone erfolgreich geladen" is shown when report is set and
// quiet is not. False when the file is missing, too wide or incomplete
// (each with its warning) or the user pressed Esc (the rows read stay).
bool LoadBlPattern(const std::string& fileName, bool report, bool quiet, int plane);

// The design program's colour numbers as pattern colours (files whose
// height word has bit 15 clear).
uint8_t BlColour(uint8_t input);
