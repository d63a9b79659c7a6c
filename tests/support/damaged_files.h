#pragma once
// The damaged forms of a valid file that every reader must survive: empty,
// one byte, cut after every tenth byte, and each byte of its header flipped.
// A reader's test walks them all and checks that it answers with its error
// (or its documented partial result) and nothing else.
#include <cstddef>
#include <string>
#include <vector>

struct DamagedFile {
    enum class Kind { Empty, OneByte, Truncated, HeaderByteFlipped };
    Kind kind;
    // The length kept (Truncated) or the offset of the flipped byte.
    std::size_t at;
    std::string bytes;
    // "empty", "1 byte", "cut at 40", "byte 7 flipped": for failure messages.
    std::string Describe() const;
};

// In this order: the empty file, the first byte alone, the file cut after
// 10, 20, ... bytes (each shorter than the file), and the file with byte i
// inverted (all bits) for each i below headerBytes (capped at the size).
std::vector<DamagedFile> DamagedVariants(const std::string& valid, std::size_t headerBytes);

// The same, for a file whose header lies in several places (a directory at
// the end): each byte of each range [offset, offset + length) is flipped.
struct ByteRange {
    std::size_t offset, length;
};
std::vector<DamagedFile> DamagedVariants(const std::string& valid, const std::vector<ByteRange>& header);
