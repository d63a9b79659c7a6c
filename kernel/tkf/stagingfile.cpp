#include "kernel/tkf/stagingfile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

StagingFile::~StagingFile()
{
    Close();
}

bool StagingFile::Open(const std::string& path, uint32_t recordSize, uint32_t capacity)
{
    Close();
    error_ = 0;
    path_ = ResolveForWrite(path);
    recordSize_ = recordSize;
    if (path_.empty() || recordSize == 0) {
        error_ = ENOENT;
        return false;
    }
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = errno != 0 ? errno : EISDIR;
        ::close(fd);
        return false;
    }
    const off_t wanted = static_cast<off_t>(recordSize) * capacity;
    if (st.st_size < wanted && ::ftruncate(fd, wanted) != 0) {
        error_ = errno;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool StagingFile::Write(uint32_t index, const void* records, uint32_t count)
{
    if (fd_ < 0)
        return false;
    const size_t total = size_t(recordSize_) * count;
    const off_t at = static_cast<off_t>(recordSize_) * index;
    const char* src = static_cast<const char*>(records);
    size_t done = 0;
    while (done < total) {
        const ssize_t n = ::pwrite(fd_, src + done, total - done, at + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool StagingFile::Read(uint32_t index, void* records, uint32_t count)
{
    if (fd_ < 0)
        return false;
    const size_t total = size_t(recordSize_) * count;
    const off_t at = static_cast<off_t>(recordSize_) * index;
    std::vector<char> tmp(total);
    size_t done = 0;
    while (done < total) {
        const ssize_t n = ::pread(fd_, tmp.data() + done, total - done, at + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : 0;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (total)
        std::memcpy(records, tmp.data(), total);
    return true;
}

bool StagingFile::Close()
{
    if (fd_ < 0)
        return true;
    const bool ok = ::close(fd_) == 0;
    if (!ok)
        error_ = errno;
    fd_ = -1;
    return ok;
}
