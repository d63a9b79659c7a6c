#include "check/ui/core/sim_status_text.h"

#include <cstdlib>
#include <vector>

namespace {

std::string Trimmed(const std::string& s)
{
    const size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The parts after the label: word and value each.
std::vector<std::pair<std::string, std::string>> Parts(const SimCellInfo& info, const SimStatusWords& words)
{
    std::vector<std::pair<std::string, std::string>> parts;
    if (info.carrier)
        parts.emplace_back(words.ff + " ", CarrierText(info.carrier));
    if (!info.density.empty())
        parts.emplace_back(words.density, info.density);
    if (info.racking)
        parts.emplace_back(words.racking + " ", RackingText(info.racking));
    return parts;
}

}  // namespace

std::string CarrierText(uint8_t carrier)
{
    if (carrier == 0)
        return {};
    const int n = carrier - 1;
    return std::to_string(n % 8 + 1) + static_cast<char>('A' + (n / 8) % 8);
}

std::string RackingText(int8_t racking)
{
    if (racking == 0)
        return {};
    return std::to_string(std::abs(int(racking))) + (racking < 0 ? ": R" : ": L");
}

std::string SimStatusText(const SimCellInfo& info, const SimStatusWords& words)
{
    std::string text = info.label;
    for (const auto& [word, value] : Parts(info, words))
        text += word + value;
    return text;
}

std::string SimHintText(const SimCellInfo& info, const SimStatusWords& words)
{
    std::string text = info.label;
    for (const auto& [word, value] : Parts(info, words)) {
        if (!text.empty())
            text += "\n";
        text += Trimmed(word) + " " + value;
    }
    return text;
}
