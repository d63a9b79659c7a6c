#include "textedit/core/text_words.h"

#include <algorithm>

#include "textedit/core/my_string_list.h"

namespace {

// 1 blank, 2 word character, 3 other.
int CharClass(unsigned char c)
{
    if (c == ' ')
        return 1;
    return IsWordChar(c) ? 2 : 3;
}

unsigned char At(const std::string& t, int32_t column)
{
    return static_cast<unsigned char>(t[static_cast<size_t>(column - 1)]);
}

bool IsWordStart(const std::string& t, int32_t p)
{
    return p >= 2 && At(t, p - 1) == ' ' && At(t, p) != ' ';
}

} // namespace

bool IsWordChar(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%' || c == '\'' ||
           c == '(' || c == ')' || c == '*' || c == '+' || c == '-' || c == '.' || c == ':' || c == '<' || c == '>' ||
           c == '^';
}

int32_t WordLeft(const std::string& line, int32_t column)
{
    const std::string t = TrimRightControls(line);
    const int32_t length = static_cast<int32_t>(t.size());
    if (column <= 1 || length == 0)
        return 1;
    int32_t p = std::min(column, length);
    if (IsWordChar(At(t, p)) && p > 1 && IsWordChar(At(t, p - 1))) {
        --p;
        while (p > 1 && IsWordChar(At(t, p - 1)))
            --p;
        return p;
    }
    if (IsWordChar(At(t, p)))
        --p;
    while (p >= 1 && !IsWordChar(At(t, p)))
        --p;
    while (p >= 1 && IsWordChar(At(t, p)))
        --p;
    return p + 1;
}

int32_t WordRight(const std::string& line, int32_t column)
{
    const std::string t = TrimRightControls(line);
    const int32_t length = static_cast<int32_t>(t.size());
    int32_t p = column;
    if (p < 1 || p >= length)
        return column;
    if (At(t, p) != ' ') {
        const int cls = CharClass(At(t, p));
        while (p < length && CharClass(At(t, p)) == cls)
            ++p;
    }
    while (p < length && At(t, p) == ' ')
        ++p;
    return p;
}

int32_t ForwardTabTarget(const std::string& reference, int32_t column)
{
    const std::string t = TrimRightControls(reference);
    const int32_t length = static_cast<int32_t>(t.size());
    for (int32_t p = column + 1; p <= length; ++p)
        if (IsWordStart(t, p))
            return p;
    return length + 1;
}

int32_t BackwardTabTarget(const std::string& reference, int32_t column)
{
    const int32_t part = std::min<int32_t>(column - 1, static_cast<int32_t>(reference.size()));
    if (part <= 2)
        return 1;
    for (int32_t p = part; p >= 2; --p)
        if (IsWordStart(reference, p))
            return p;
    return 1;
}
