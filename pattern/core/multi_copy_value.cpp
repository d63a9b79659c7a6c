#include "pattern/core/multi_copy_value.h"

std::optional<int> MultiCopyValue(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value >= kMultiCopyLimit)
            return std::nullopt;
    }
    if (value < 1)
        return std::nullopt;
    return value;
}
