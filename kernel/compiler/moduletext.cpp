#include "kernel/compiler/moduletext.h"

#include <algorithm>
#include <limits>

namespace {
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
}  // namespace

int32_t NumberCode(std::string_view text, int32_t& value)
{
    value = 0;
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size())
        return static_cast<int32_t>(i + 1);
    int64_t magnitude = 0;
    const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                   : int64_t(std::numeric_limits<int32_t>::max());
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return static_cast<int32_t>(i + 1);
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            return static_cast<int32_t>(i + 1);
    }
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return 0;
}

bool TakeDigits(std::string& s, int64_t& value)
{
    size_t i = 0;
    int64_t v = 0;
    while (i < s.size() && IsDigit(s[i])) {
        if (v <= std::numeric_limits<int32_t>::max())
            v = v * 10 + (s[i] - '0');
        ++i;
    }
    if (i == 0)
        return false;
    value = v > std::numeric_limits<int32_t>::max() ? int64_t(std::numeric_limits<int32_t>::max()) : v;
    s.erase(0, i);
    return true;
}

void SplitStatement(std::string_view statement, std::string& token, std::string& value)
{
    constexpr size_t none = std::string_view::npos;
    constexpr size_t kTokenMax = 255;
    size_t equals = none, open = none, close = none;
    for (size_t i = 0; i < statement.size(); ++i) {
        const char c = statement[i];
        if (c == '=' && equals == none)
            equals = i;
        else if (c == '[' && open == none)
            open = i;
        else if (c == ']' && close == none)
            close = i;
    }
    if (equals != none && open < equals && close != none && close > equals) {
        equals = statement.find('=', close);
    }
    const char* text = statement.data();
    if (equals == none) {
        token.assign(text, std::min(statement.size(), kTokenMax));
        value.clear();
        return;
    }
    token.assign(text, std::min(equals, kTokenMax));
    value.assign(text + equals + 1, statement.size() - equals - 1);
}

std::string Items::Next()
{
    size_t i = 0;
    while (i < rest_.size() && rest_[i] != ',')
        ++i;
    std::string item(rest_.substr(0, i));
    rest_.remove_prefix(i < rest_.size() ? i + 1 : i);
    return item;
}

bool Contains(std::string_view s, char c)
{
    for (char x : s)
        if (x == c)
            return true;
    return false;
}

std::string UpperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}
