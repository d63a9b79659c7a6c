#pragma once
// The colours list cells draw pattern symbols in: a string of 7-byte
// records (character; text red, green, blue; background red, green, blue).
#include <cstdint>
#include <optional>
#include <string>

struct SymbolColours {
    uint32_t text = 0;        // 0xrrggbb
    uint32_t background = 0;  // 0xrrggbb
};

// Starts with the 15 records "a" to "o"; the main window puts the pattern
// symbol set in at its creation (SetPatternSymbolColours).
extern std::string SymbolFarben;

// The 32 records of the pattern symbol set.
std::string PatternSymbolColourTable();
void SetPatternSymbolColours();
// The colours of a character; only the character byte of each record is
// compared, never its colour bytes.
std::optional<SymbolColours> FindSymbolColours(const std::string& table, unsigned char c);
