#pragma once
// The placement string of a list window in INI section "Windows": left,
// top, height and column count as five-digit numbers, then the monitor as
// two digits, separated by single blanks.
#include <optional>
#include <string>

struct ListPlacement {
    int left = 1;
    int top = 1;
    int height = 1;
    int columns = 1;
    int monitor = 0;
};

std::string FormatListPlacement(const ListPlacement& placement);
// nullopt for anything but five numeric parts whose first four are above 0
// (a hand-edited or damaged entry counts as no stored placement).
std::optional<ListPlacement> ParseListPlacement(const std::string& text);
