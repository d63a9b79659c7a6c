#include "kernel/compiler/statementfile.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <sys/stat.h>

#include "kernel/model/bytes.h"
#include "platform/paths.h"

StatementFile::~StatementFile()
{
    Close();
}

bool StatementFile::Create(const std::string& path)
{
    Close();
    if (path.empty())
        return false;
    file_ = std::fopen(ResolveForWrite(path).c_str(), "w+b");
    ResetBuffer();
    // A pipe of that name would take a few blocks and then stall the compile.
    struct stat st{};
    if (file_ && (::fstat(::fileno(file_), &st) != 0 || !S_ISREG(st.st_mode)))
        Close();
    return file_ != nullptr;
}

void StatementFile::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void StatementFile::ResetBuffer()
{
    buffer_.fill(0);
    offset_ = 0;
    block_ = 0;
}

bool StatementFile::WriteBlock(uint16_t block)
{
    if (!file_)
        return false;
    long at = long(block) * long(kBlockSize);
    if (std::fseek(file_, at, SEEK_SET) != 0)
        return false;
    if (std::fwrite(buffer_.data(), 1, kBlockSize, file_) != kBlockSize)
        return false;
    return std::fflush(file_) == 0;
}

bool StatementFile::ReadBlock(uint16_t block)
{
    if (!file_)
        return false;
    long at = long(block) * long(kBlockSize);
    if (std::fseek(file_, at, SEEK_SET) != 0)
        return false;
    // A short block is the end of the file: the buffer keeps what it had.
    std::array<uint8_t, kBlockSize> in;
    if (std::fread(in.data(), 1, kBlockSize, file_) != kBlockSize)
        return false;
    buffer_ = in;
    return true;
}

bool StatementFile::Append(uint16_t line, uint8_t column, const std::string& text, int32_t& position)
{
    size_t length = std::min<size_t>(text.size(), 255);
    if (offset_ + kEntryReserve > kBlockSize) {
        if (block_ == std::numeric_limits<uint16_t>::max() || !WriteBlock(block_))
            return false;
        buffer_.fill(0);
        ++block_;
        offset_ = 0;
    }
    position = Position();
    uint8_t* at = buffer_.data() + offset_;
    put_u16(at, 0, line);
    at[2] = column;
    at[3] = static_cast<uint8_t>(length);
    std::memcpy(at + kHeaderSize, text.data(), length);
    offset_ = static_cast<uint16_t>(offset_ + kHeaderSize + length);
    return true;
}

bool StatementFile::Flush()
{
    return WriteBlock(block_);
}

bool StatementFile::Rewind()
{
    ResetBuffer();
    return ReadBlock(0);
}

bool StatementFile::Next(uint16_t& line, uint8_t& column, std::string& text)
{
    for (;;) {
        if (offset_ + kHeaderSize <= kBlockSize) {
            const uint8_t* at = buffer_.data() + offset_;
            if (get_u16(at, 0) != 0 || at[2] != 0)
                break;
        }
        if (block_ == std::numeric_limits<uint16_t>::max() || !ReadBlock(uint16_t(block_ + 1)))
            return false;
        ++block_;
        offset_ = 0;
    }
    const uint8_t* at = buffer_.data() + offset_;
    size_t length = at[3];
    if (offset_ + kHeaderSize + length > kBlockSize)
        return false;
    line = get_u16(at, 0);
    column = at[2];
    text.assign(reinterpret_cast<const char*>(at + kHeaderSize), length);
    offset_ = static_cast<uint16_t>(offset_ + kHeaderSize + length);
    return true;
}

bool StatementFile::Seek(int32_t position)
{
    if (position < 0)
        return false;
    int32_t block = position / int32_t(kBlockSize);
    if (block > std::numeric_limits<uint16_t>::max())
        return false;
    if (block != block_) {
        if (!ReadBlock(static_cast<uint16_t>(block)))
            return false;
        block_ = static_cast<uint16_t>(block);
    }
    offset_ = static_cast<uint16_t>(position % int32_t(kBlockSize));
    return true;
}
