#pragma once
// Small text tools of the module statements (Windows-1252 byte strings).
#include <cstdint>
#include <string>
#include <string_view>

inline bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// Reads text as one signed decimal number the way the statements' numbers
// have always been read: 0 when the whole text is the number, else the
// 1-based position of the first character that is not part of it (an
// empty text or a bare sign points behind it; a number past the 32-bit
// range points at the digit that overflows). value is 0 on failure.
int32_t NumberCode(std::string_view text, int32_t& value);

// Takes the digits at the front of s off it; false (s unchanged) when s does
// not start with a digit. Values past the 32-bit range saturate.
bool TakeDigits(std::string& s, int64_t& value);

// Token and value of a statement, split as SplitAtEquals splits them (at the
// first "=", or behind a bracket that holds one), in one pass: the module
// statements are split for every row knitted.
void SplitStatement(std::string_view statement, std::string& token, std::string& value);

// The items of a value, separated by ",".
class Items {
public:
    explicit Items(std::string_view value) : rest_(value) {}
    // The text before the next "," (all of the rest when there is none).
    std::string Next();
    std::string_view Rest() const { return rest_; }
    bool Empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// True when c occurs in s (short texts: a plain loop).
bool Contains(std::string_view s, char c);

// ASCII upper case.
std::string UpperAscii(std::string_view s);
