#include "platform/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace {

SafeFileFault fault;
int64_t faultWritten = 0;

// How many of count bytes the fault lets through.
size_t FaultAllowance(size_t count)
{
    if (fault.writeLimit < 0)
        return count;
    const int64_t left = fault.writeLimit - faultWritten;
    return left <= 0 ? 0 : static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(count)));
}

}  // namespace

void SetSafeFileFaultForTesting(const SafeFileFault& f)
{
    fault = f;
    faultWritten = 0;
}

SafeFileWriter::~SafeFileWriter()
{
    Discard();
}

bool SafeFileWriter::fail(int err)
{
    if (!failed_) {
        failed_ = true;
        error_ = err;
    }
    return false;
}

bool SafeFileWriter::diskFull() const
{
    return failed_ && (error_ == ENOSPC || error_ == EDQUOT);
}

bool SafeFileWriter::Create(const std::string& path)
{
    Discard();
    failed_ = false;
    error_ = 0;
    end_ = 0;
    dest_ = ResolveForWrite(path);
    struct stat st{};
    if (dest_.empty())
        return fail(ENOENT);
    if (::stat(dest_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return fail(EISDIR);
    const size_t slash = dest_.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : dest_.substr(0, slash + 1);
    const std::string name = dest_.substr(folder.size());
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
        fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    const int err = errno;
    temp_.clear();
    return fail(err);
}

bool SafeFileWriter::Write(const void* data, size_t count)
{
    return WriteAt(end_, data, count);
}

bool SafeFileWriter::WriteAt(uint64_t offset, const void* data, size_t count)
{
    if (failed_ || fd_ < 0)
        return fail(EBADF);
    const char* src = static_cast<const char*>(data);
    size_t done = 0;
    while (done < count) {
        const size_t allowed = FaultAllowance(count - done);
        if (allowed == 0)
            return fail(ENOSPC);
        const ssize_t n = ::pwrite(fd_, src + done, allowed, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
        faultWritten += n;
    }
    end_ = std::max(end_, offset + count);
    return true;
}

bool SafeFileWriter::Commit()
{
    if (fd_ < 0)
        return fail(EBADF);
    if (!failed_) {
        // A full disk may only show when the data reach it.
        if (fault.failFlush)
            fail(ENOSPC);
        else if (::fsync(fd_) != 0)
            fail(errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (!failed_ && std::rename(temp_.c_str(), dest_.c_str()) != 0)
        fail(errno);
    if (failed_) {
        ::unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    return true;
}

void SafeFileWriter::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}
