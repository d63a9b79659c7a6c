#include "lists/core/list_tools.h"

#include <algorithm>

bool IsNumber(const std::string& text)
{
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos)
        return true;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    return std::all_of(text.begin() + static_cast<long>(i), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::string PipeField(int n, const std::string& text)
{
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        const size_t bar = text.find('|', start);
        if (bar == std::string::npos)
            return {};
        start = bar + 1;
    }
    const size_t end = text.find('|', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string SignChar(int32_t value)
{
    return value >= 0 ? "+" : "-";
}

std::string RightChars(const std::string& text, int n)
{
    const std::u32string u = ToU32(text);
    if (n < 0)
        n = 0;
    if (static_cast<size_t>(n) >= u.size())
        return text;
    return ToU8(u.substr(u.size() - static_cast<size_t>(n)));
}

bool RangesOverlap(int leftA, int widthA, int leftB, int widthB)
{
    const int rightA = leftA + widthA;
    const int rightB = leftB + widthB;
    auto inside = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    return inside(leftB, leftA, rightA) || inside(rightB, leftA, rightA) ||
           inside(leftA, leftB, rightB);
}

void SwapWords(uint16_t& a, uint16_t& b)
{
    std::swap(a, b);
}

void PrependBytes(std::string& text, const uint8_t* bytes, int count)
{
    if (count > 0)
        text.insert(0, reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
}

int32_t LeadingNumber(const std::string& text)
{
    size_t i = text.find_first_not_of(' ');
    int64_t value = 0;
    for (; i != std::string::npos && i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), 999999999);
    return static_cast<int32_t>(value);
}

std::string TrimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string TrimRight(const std::string& text)
{
    const size_t last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

int ChoiceEntryCount(const std::string& choices)
{
    return static_cast<int>(std::count(choices.begin(), choices.end(), '|') / 3);
}

std::string ChoiceText(const std::string& choices, int entry)
{
    if (entry < 0 || entry >= ChoiceEntryCount(choices))
        return {};
    return PipeField(3 * entry, choices);
}

std::string ChoiceCode(const std::string& choices, int entry)
{
    if (entry < 0 || entry >= ChoiceEntryCount(choices))
        return {};
    return PipeField(3 * entry + 2, choices);
}

SelectionRows BuildSelectionRows(const std::string& choices, const std::string& mask,
                                 int preselected)
{
    SelectionRows rows;
    const int count = ChoiceEntryCount(choices);
    for (int e = 0; e < count && !ChoiceText(choices, e).empty(); ++e) {
        if (static_cast<size_t>(e) < mask.size() && mask[static_cast<size_t>(e)] == '0')
            continue;
        if (e == preselected)
            rows.selectedRow = static_cast<int>(rows.texts.size());
        rows.texts.push_back(ChoiceText(choices, e));
        rows.entries.push_back(e);
    }
    rows.paddedMask = mask;
    if (rows.paddedMask.size() < static_cast<size_t>(count))
        rows.paddedMask.append(static_cast<size_t>(count) - rows.paddedMask.size(), '1');
    return rows;
}

uint32_t MultiSelectionResult(const SelectionRows& rows, const std::vector<bool>& marked)
{
    uint32_t result = 0;
    for (size_t r = 0; r < marked.size() && r < rows.entries.size(); ++r)
        if (marked[r] && rows.entries[r] < 32)
            result |= 1u << rows.entries[r];
    return result;
}

std::u32string ToU32(const std::string& text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
        char32_t cp = extra == 0 ? c : c & (0x3f >> extra);
        ++i;
        for (; extra > 0 && i < text.size(); --extra, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3f);
        out.push_back(cp);
    }
    return out;
}

std::string ToU8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xc0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xe0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
    } else {
        out.push_back(static_cast<char>(0xf0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
    }
    return out;
}

std::string ToU8(const std::u32string& text)
{
    std::string out;
    for (char32_t c : text)
        out += ToU8(c);
    return out;
}
