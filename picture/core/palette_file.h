#pragma once
// Reading a palette file (1024 bytes or more; only the first 1024 count)
// into a picture window's colour table.
#include <string>

#include "picture/core/palette_table.h"

enum class PaletteLoad { Loaded, Missing, TooShort };

// A name holding "/" or "\" is a path; any other name is looked up in the
// program folder, in any letter case. A missing or short file leaves the
// table as it was; a short one is also written to the debug log.
PaletteLoad LoadPaletteFile(PaletteTable& table, const std::string& name);
// The file LoadPaletteFile reads for a name (empty when none exists).
std::string PaletteFilePath(const std::string& name);
