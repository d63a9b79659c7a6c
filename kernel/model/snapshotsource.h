#pragma once
// The bytes of a program snapshot in order, from memory or from a file
// through the unit stream. A check passes over the lines and rows without
// reading them; taking the snapshot over reads the file a chunk at a time,
// so that each part is copied on while its chunk is still in the cache.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class SnapshotSource {
public:
    explicit SnapshotSource(std::string_view bytes);
    // The unit stream, open on a file of fileSize bytes. Reads ahead a chunk
    // at a time when readAhead is set, else only what is taken.
    SnapshotSource(uint64_t fileSize, bool readAhead);

    // The next n bytes (at most one chunk), or nullptr when the snapshot
    // ends before them or the file cannot be read.
    const uint8_t* Take(size_t n);
    // Passes over the next n bytes; false when the snapshot ends before them.
    bool Skip(uint64_t n);
    // The offset of the next byte.
    uint64_t Position() const { return position_; }
    // A read of the file failed (more than a file too short).
    bool Failed() const { return error_; }

    static constexpr size_t kChunk = 1024 * 1024;

private:
    // Reads the bytes from the position on into the chunk.
    bool Fill(size_t n);

    bool fromFile_ = false;
    bool readAhead_ = false;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    // What lies at hand: the bytes from offset start_ on, available_ of them.
    const uint8_t* data_ = nullptr;
    uint64_t start_ = 0;
    size_t available_ = 0;
    std::vector<uint8_t> chunk_;
    bool error_ = false;
};
