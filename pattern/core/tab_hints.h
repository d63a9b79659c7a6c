#pragma once
// The ".TAB" file beside the program: 7-byte records, one per colour panel
// from panel 1; a record's first two bytes (little-endian) are the panel's
// hint in decimal, the other five are not used.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr size_t kTabRecordBytes = 7;

// The hints of the panels that whole records reach, at most count; the
// bytes of a last, short record are not read.
std::vector<std::string> TabHints(std::span<const uint8_t> bytes, size_t count);
// The same from a file; empty when the file does not exist or cannot be read.
std::optional<std::vector<std::string>> ReadTabHints(const std::string& path, size_t count);
