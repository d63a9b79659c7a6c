#include "lists/core/list_placement.h"

#include <algorithm>
#include <sstream>

#include "kernel/services/services.h"

std::string FormatListPlacement(const ListPlacement& p)
{
    auto part = [](int v) { return F_ZeroPadNum(std::clamp(v, 1, 99999), 5); };
    return part(p.left) + " " + part(p.top) + " " + part(p.height) + " " + part(p.columns) +
           " " + F_ZeroPadNum(std::clamp(p.monitor, 0, 99), 2);
}

std::optional<ListPlacement> ParseListPlacement(const std::string& text)
{
    std::istringstream in(text);
    std::string part;
    int values[5];
    int n = 0;
    while (in >> part) {
        if (n == 5 || part.size() > 5 || part.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        values[n++] = std::stoi(part);
    }
    if (n != 5 || values[0] == 0 || values[1] == 0 || values[2] == 0 || values[3] == 0)
        return std::nullopt;
    return ListPlacement{values[0], values[1], values[2], values[3], values[4]};
}
