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

// The first count characters of a UTF-8 text, never cutting one in half
// (names are kept in UTF-8 but stored one Windows-1252 byte a character).
std::string FirstCharacters(std::string_view text, size_t count);

// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// True when any byte is above 127.
bool HasHighBytes(std::string_view text);

// Windows-1253 (Greek) and Windows-932 (Japanese), through glibc's iconv. A
// byte or byte pair the page leaves unassigned decodes to U+FFFD; a character
// the page cannot hold (or broken UTF-8) encodes to "?". Throws
// std::runtime_error when iconv lacks the page.
std::string Cp1253ToUtf8(std::string_view bytes);
std::string Utf8ToCp1253(std::string_view text);
std::string Cp932ToUtf8(std::string_view bytes);
std::string Utf8ToCp932(std::string_view text);

// True when the text survives a trip to Windows-1252 and back unchanged.
bool FitsCp1252(std::string_view text);

// The seven German letters of DOS code page 850 (ü ä Ä ö Ö Ü ß) replaced by
// their Windows-1252 bytes; every other byte stays. Texts typed on the DOS
// side of the family end up in Windows files through this map.
std::string DosLettersToWindows(std::string_view bytes);
