#pragma once
// Conversions between the stored code pages and the UTF-8 used everywhere else.
#include <string>
#include <string_view>

// Windows-1252: the five unassigned bytes map to the C1 controls of the same
// number, so every byte survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view text);

// DOS code page 850.
std::string Cp850ToUtf8(std::string_view bytes);
std::string Utf8ToCp850(std::string_view text);

// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// True when any byte is above 127.
bool HasHighBytes(std::string_view text);

// The seven German letters of DOS code page 850 (ü ä Ä ö Ö Ü ß) replaced by
// their Windows-1252 bytes; every other byte stays. Texts typed on the DOS
// side of the family end up in Windows files through this map.
std::string DosLettersToWindows(std::string_view bytes);
