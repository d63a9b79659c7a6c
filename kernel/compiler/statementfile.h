#pragma once
// The statement file: the statements of the modules, each with the line and
// column where it ended, packed into blocks of 10000 bytes so that a module
// can be read again from any block by its noted position.
//
// Entry: u16 line, u8 column, u8 length n, n bytes of text. A header with
// line and column 0 ends the entries of a block.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

class StatementFile {
public:
    static constexpr size_t kBlockSize = 10000;
    // Room kept for one entry: a new block starts when less is left, so no
    // entry crosses a block boundary and a zero header always follows.
    static constexpr size_t kEntryReserve = 270;
    static constexpr size_t kHeaderSize = 4;

    StatementFile() = default;
    ~StatementFile();
    StatementFile(const StatementFile&) = delete;
    StatementFile& operator=(const StatementFile&) = delete;

    // Creates (or empties) the file for reading and writing.
    bool Create(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    void Close();

    // Writing: an empty buffer at block 0.
    void ResetBuffer();
    // Appends one entry, first writing the full buffer out and starting the
    // next block when the entry might not fit. position receives where the
    // entry lies (block * 10000 + offset). False when a block cannot be
    // written. The text is cut to 255 bytes.
    bool Append(uint16_t line, uint8_t column, const std::string& text, int32_t& position);
    // Writes the buffer as its block.
    bool Flush();
    // Back to the start for reading: block 0 in the buffer.
    bool Rewind();

    // Reading: the next entry, moving on to the next block at a zero header.
    // False past the last block or at a damaged entry; nothing is read beyond
    // the buffer.
    bool Next(uint16_t& line, uint8_t& column, std::string& text);
    // Puts the reader at a noted position, reading its block when another
    // one is in the buffer.
    bool Seek(int32_t position);

    uint16_t Block() const { return block_; }
    uint16_t Offset() const { return offset_; }
    int32_t Position() const { return int32_t(block_) * int32_t(kBlockSize) + offset_; }
    const std::array<uint8_t, kBlockSize>& Buffer() const { return buffer_; }

private:
    bool WriteBlock(uint16_t block);
    bool ReadBlock(uint16_t block);

    std::FILE* file_ = nullptr;
    std::array<uint8_t, kBlockSize> buffer_{};
    uint16_t offset_ = 0;
    uint16_t block_ = 0;
};
