#include "kernel/services/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/safe_file.h"
#include "platform/stored_file.h"

namespace {

enum class Kind { None, Memory, File };

// The one stream of the program. A created file is written to a temporary
// file beside its destination and only renamed over it when the stream is
// released after a clean job, so a failed save never costs the old file.
struct UnitStream {
    ~UnitStream() { release(); }

    Kind kind = Kind::None;
    std::string mem;
    uint64_t pos = 0;
    int fd = -1;
    bool created = false;
    bool failed = false;
    std::string dest;
    std::string temp;
    int lastError = 0;

    // Marks the running job as failed: a created file is then dropped.
    void fail(bool& error, int err = 0)
    {
        error = true;
        failed = true;
        if (err != 0)
            lastError = DiskErrorCode(err);
    }

    // Every call takes the caller's flag. A set flag, or no stream at all,
    // means the job has gone wrong: do nothing, keep the flag set.
    bool usable(bool& error)
    {
        if (error || kind == Kind::None) {
            fail(error);
            return false;
        }
        return true;
    }

    bool release()
    {
        bool ok = true;
        if (kind == Kind::File) {
            if (created) {
                ok = !failed;
                if (ok && ::fsync(fd) != 0) {
                    lastError = DiskErrorCode(errno);
                    ok = false;
                }
                if (::close(fd) != 0 && ok) {
                    lastError = DiskErrorCode(errno);
                    ok = false;
                }
                if (ok && std::rename(temp.c_str(), dest.c_str()) != 0) {
                    lastError = DiskErrorCode(errno);
                    ok = false;
                }
                if (!ok)
                    ::unlink(temp.c_str());
            } else {
                ::close(fd);
            }
        }
        kind = Kind::None;
        mem.clear();
        mem.shrink_to_fit();
        pos = 0;
        fd = -1;
        created = false;
        failed = false;
        dest.clear();
        temp.clear();
        return ok;
    }

    void startMemory()
    {
        kind = Kind::Memory;
        mem.clear();
        pos = 0;
    }

    // The start of an open or a create: the stream is released first. A set
    // flag ends a pending create as failed and opens nothing; without a file
    // the stream lives in memory. True when the caller is to open a file.
    bool restart(bool& error, bool toFile)
    {
        if (error)
            failed = true;
        release();
        if (error)
            return false;
        lastError = 0;
        if (!toFile) {
            startMemory();
            return false;
        }
        return true;
    }

    // An open or create that found no file to use: nothing is open.
    void refuse(bool& error, int err)
    {
        lastError = DiskErrorCode(err);
        error = true;
    }

    uint64_t size(bool& error)
    {
        if (kind == Kind::Memory)
            return mem.size();
        struct stat st{};
        if (::fstat(fd, &st) != 0) {
            fail(error, errno);
            return 0;
        }
        return static_cast<uint64_t>(st.st_size);
    }
};

UnitStream stream;

bool IsFolder(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int DiskErrorCode(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:  // a pipe or device where a file to read was named
        return 2;
    case ENOTDIR:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case EBADF:
        return 6;
    case ENOSPC:
    case EDQUOT:
        return 13;
    default:
        return 0;
    }
}

int P_DiskLastError()
{
    return stream.lastError;
}

void P_DiskOpen(const std::string& path, bool& error, bool toFile)
{
    if (!stream.restart(error, toFile))
        return;
    // Positions and sizes of the stream are 32 bits wide: a larger file
    // could not be addressed whole.
    const int fd = OpenStoredFile(FindExisting(path), UINT32_MAX);
    if (fd < 0) {
        stream.refuse(error, errno);
        return;
    }
    stream.kind = Kind::File;
    stream.fd = fd;
}

void P_DiskCreate(const std::string& path, bool& error, bool toFile)
{
    if (!stream.restart(error, toFile))
        return;
    const std::string dest = ResolveForWrite(path);
    if (dest.empty() || IsFolder(dest)) {
        stream.refuse(error, dest.empty() ? ENOENT : EISDIR);
        return;
    }
    if (const int err = WriteRefusal(dest)) {
        stream.refuse(error, err);
        return;
    }
    std::string temp;
    RemoveStaleTemporaries(dest);
    const int fd = CreateTemporaryBeside(dest, temp);
    if (fd < 0) {
        stream.refuse(error, errno);
        return;
    }
    stream.kind = Kind::File;
    stream.fd = fd;
    stream.created = true;
    stream.dest = dest;
    stream.temp = temp;
}

bool P_DiskClose()
{
    return stream.release();
}

void P_DiskWrite(const void* buffer, uint32_t count, bool& error)
{
    if (!stream.usable(error) || count == 0)
        return;
    const char* src = static_cast<const char*>(buffer);
    if (stream.kind == Kind::Memory) {
        if (stream.pos > stream.mem.size())
            stream.mem.resize(stream.pos, '\0');
        const size_t overlap = std::min<size_t>(count, stream.mem.size() - stream.pos);
        stream.mem.replace(stream.pos, overlap, src, count);
        stream.pos += count;
        return;
    }
    size_t done = 0;
    while (done < count) {
        const size_t allowed = TakeSafeFileFaultAllowance(count - done);
        const off_t at = static_cast<off_t>(stream.pos + done);
        const ssize_t n = allowed == 0 ? 0 : ::pwrite(stream.fd, src + done, allowed, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            stream.fail(error, n < 0 ? errno : ENOSPC);
            return;
        }
        done += static_cast<size_t>(n);
    }
    stream.pos += count;
}

namespace {

// The read behind P_DiskRead (aside: through a buffer of its own, so that
// an I/O error half-way leaves the caller's buffer as it was) and
// P_DiskReadBulk (straight into the caller's buffer).
void ReadStream(void* buffer, uint32_t count, bool& error, bool aside)
{
    if (!stream.usable(error) || count == 0)
        return;
    // Past the end is a failed read that leaves the caller's buffer as it was.
    const uint64_t size = stream.size(error);
    if (error)
        return;
    if (stream.pos > size || size - stream.pos < count) {
        stream.fail(error);
        return;
    }
    if (stream.kind == Kind::Memory) {
        std::memcpy(buffer, stream.mem.data() + stream.pos, count);
        stream.pos += count;
        return;
    }
    // The aside buffer is not cleared: the read fills all of it or is dropped.
    std::unique_ptr<char[]> tmp;
    char* target = static_cast<char*>(buffer);
    if (aside) {
        tmp.reset(new char[count]);
        target = tmp.get();
    }
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(stream.fd, target + done, count - done, static_cast<off_t>(stream.pos + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            stream.fail(error, n < 0 ? errno : 0);
            return;
        }
        done += static_cast<size_t>(n);
    }
    if (aside)
        std::memcpy(buffer, tmp.get(), count);
    stream.pos += count;
}

}  // namespace

void P_DiskRead(void* buffer, uint32_t count, bool& error)
{
    ReadStream(buffer, count, error, true);
}

void P_DiskReadBulk(void* buffer, uint32_t count, bool& error)
{
    ReadStream(buffer, count, error, false);
}

void P_DiskSeek(uint32_t position, bool& error)
{
    if (!stream.usable(error))
        return;
    stream.pos = position;
}

uint32_t F_DiskSize(bool& error)
{
    if (!stream.usable(error))
        return 0;
    const uint64_t size = stream.size(error);
    return error ? 0 : static_cast<uint32_t>(size);
}

uint32_t F_DiskPosition(bool& error)
{
    if (!stream.usable(error))
        return 0;
    return static_cast<uint32_t>(stream.pos);
}

std::string P_DiskMemoryBytes()
{
    return stream.kind == Kind::Memory ? stream.mem : std::string();
}

void P_DiskMemoryLoad(const std::string& bytes)
{
    if (stream.kind != Kind::Memory)
        return;
    stream.mem = bytes;
    stream.pos = 0;
}
