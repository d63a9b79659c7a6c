#include "platform/stored_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int Refuse(int fd, int err)
{
    if (fd >= 0)
        ::close(fd);
    errno = err;
    return -1;
}
}  // namespace

int OpenStoredFile(const std::string& path, uint64_t limit, uint64_t* size)
{
    if (path.empty())
        return Refuse(-1, ENOENT);
    // O_NONBLOCK lets the open of a pipe return at once; the type is then
    // taken from the descriptor itself, so nothing swapped in between a
    // look at the name and the open slips through.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return Refuse(-1, errno == ENXIO ? ENODEV : errno);
    struct stat st{};
    if (::fstat(fd, &st) != 0)
        return Refuse(fd, errno);
    if (!S_ISREG(st.st_mode))
        return Refuse(fd, S_ISDIR(st.st_mode) ? EISDIR : ENODEV);
    if (static_cast<uint64_t>(st.st_size) > limit)
        return Refuse(fd, EFBIG);
    if (::fcntl(fd, F_SETFL, 0) != 0)
        return Refuse(fd, errno);
    if (size)
        *size = static_cast<uint64_t>(st.st_size);
    return fd;
}

namespace {
// Up to bytes.size() bytes; the count read, or -1 with errno set.
ssize_t ReadUpTo(int fd, std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}
}  // namespace

bool ReadStoredFile(const std::string& path, uint64_t limit, std::string& bytes)
{
    bytes.clear();
    uint64_t size = 0;
    const int fd = OpenStoredFile(path, limit, &size);
    if (fd < 0)
        return false;
    // A file that grows while it is read stops at the size it had, so the
    // limit still holds.
    bytes.resize(static_cast<size_t>(size));
    const ssize_t got = ReadUpTo(fd, bytes);
    if (got != static_cast<ssize_t>(bytes.size())) {
        bytes.clear();
        Refuse(fd, got < 0 ? errno : EIO);
        return false;
    }
    ::close(fd);
    return true;
}

bool ReadStoredFilePrefix(const std::string& path, size_t count, std::string& bytes)
{
    bytes.clear();
    const int fd = OpenStoredFile(path, kStoredFileAnySize);
    if (fd < 0)
        return false;
    bytes.resize(count);
    const ssize_t got = ReadUpTo(fd, bytes);
    if (got < 0) {
        bytes.clear();
        Refuse(fd, errno);
        return false;
    }
    bytes.resize(static_cast<size_t>(got));
    ::close(fd);
    return true;
}
