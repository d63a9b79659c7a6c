#pragma once
// The repeat count typed into "Multiples Kopieren": a number from 1 to 499;
// an empty field counts as 0.
#include <optional>
#include <string_view>

inline constexpr int kMultiCopyLimit = 500;

// The count, or nothing for text that is not a number from 1 to 499 (blanks
// around it are the edit mask's and do not count).
std::optional<int> MultiCopyValue(std::string_view text);
