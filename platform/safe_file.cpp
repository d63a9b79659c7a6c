#include "platform/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/save_journal.h"
#include "platform/stored_file.h"

namespace {

SafeFileFault fault;
int64_t faultWritten = 0;
int faultRenames = 0;

// How many of count bytes the fault lets through.
size_t FaultAllowance(size_t count)
{
    if (fault.writeLimit < 0)
        return count;
    const int64_t left = fault.writeLimit - faultWritten;
    return left <= 0 ? 0 : static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(count)));
}

int Rename(const std::string& from, const std::string& to)
{
    if (fault.renamesBeforeFailure >= 0 && faultRenames++ >= fault.renamesBeforeFailure)
        return EIO;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

const char* const kTempSuffix = ".tmp";

// What a temporary file's name adds to the destination's: "." before it,
// then "." + pid (up to 7 digits) + "-" + counter (up to 10) + ".tmp".
constexpr size_t kTempNameMarks = 1 + 1 + 7 + 1 + 10 + 4;
constexpr size_t kNameMax = 255;
constexpr size_t kPathMax = 4096;  // with the closing NUL

// The process that wrote a temporary file of the name prefix + "PID-N.tmp";
// 0 when the name is not of that form.
pid_t WriterOf(const std::string& name, const std::string& prefix)
{
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        !name.ends_with(kTempSuffix))
        return 0;
    const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    const size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size() ||
        middle.find_first_not_of("0123456789-") != std::string::npos || middle.find('-', dash + 1) != std::string::npos)
        return 0;
    const long pid = std::strtol(middle.c_str(), nullptr, 10);
    return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

bool Running(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// The system's boot time in seconds since the epoch; 0 when unknown.
double BootTime()
{
    std::ifstream system("/proc/stat");
    for (std::string key; system >> key;) {
        if (key == "btime") {
            double boot = 0;
            system >> boot;
            return boot;
        }
        system.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return 0;
}

// When the process pid started, in seconds since the epoch; 0 when that
// cannot be told.
double ProcessStart(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return 0;
    // The command name in parentheses may hold blanks: the fields after the
    // last ")" begin with the third, the start time (in clock ticks after
    // the boot) is the 22nd.
    const size_t paren = line.rfind(')');
    if (paren == std::string::npos)
        return 0;
    std::istringstream fields(line.substr(paren + 1));
    std::string field;
    for (int n = 3; n <= 22; ++n)
        if (!(fields >> field))
            return 0;
    const double boot = BootTime();
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (boot <= 0 || ticks <= 0)
        return 0;
    return boot + std::strtod(field.c_str(), nullptr) / double(ticks);
}

// Whether the temporary path, written by pid, belongs to no save that is
// still running.
bool Stale(const std::string& path, pid_t pid)
{
    if (!Running(pid))
        return true;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    return TemporaryWriterGone(true, ProcessStart(pid), double(st.st_ctim.tv_sec) + st.st_ctim.tv_nsec / 1e9);
}

// The folder of a path, as opendir takes it, and as the prefix of its
// entries' paths.
struct Folder {
    std::string open;
    std::string prefix;
};

// Removes the entries of folder whose writer writerOf tells (0: no
// temporary) and which no running save still writes.
template <typename WriterOfName>
void RemoveStale(const Folder& folder, WriterOfName writerOf)
{
    DIR* dir = ::opendir(folder.open.c_str());
    if (!dir)
        return;
    std::vector<std::pair<std::string, pid_t>> found;
    while (const dirent* e = ::readdir(dir))
        if (const pid_t pid = writerOf(e->d_name); pid != 0)
            found.emplace_back(folder.prefix + e->d_name, pid);
    ::closedir(dir);
    for (const auto& [path, pid] : found)
        if (Stale(path, pid))
            ::unlink(path.c_str());
}

Folder FolderOf(const std::string& folder)
{
    return folder.empty() ? Folder{".", ""} : Folder{folder, AppendSeparator(folder)};
}

}  // namespace

void SetSafeFileFaultForTesting(const SafeFileFault& f)
{
    fault = f;
    faultWritten = 0;
    faultRenames = 0;
}

size_t TakeSafeFileFaultAllowance(size_t count)
{
    const size_t allowed = FaultAllowance(count);
    faultWritten += static_cast<int64_t>(allowed);
    return allowed;
}

int WriteRefusal(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return 0;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    return ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

bool SafeFileNameFits(const std::string& path)
{
    if (path.size() + kTempNameMarks >= kPathMax)
        return false;
    size_t start = 0;
    for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', start)) {
        if (slash - start > kNameMax)
            return false;
        start = slash + 1;
    }
    return path.size() - start + kTempNameMarks <= kNameMax;
}

int CreateTemporaryBeside(const std::string& dest, std::string& temp)
{
    const size_t slash = dest.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : dest.substr(0, slash + 1);
    const std::string name = dest.substr(folder.size());
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + kTempSuffix;
        const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool TemporaryWriterGone(bool running, double processStart, double lastChange)
{
    // The process under the pid began after the file was last changed: the
    // pid has come to another process since, the writer is gone. Start
    // times are known to the tick, the boot time only to the second.
    constexpr double kClockSlack = 2.0;
    return !running || (processStart > 0 && processStart > lastChange + kClockSlack);
}

void RemoveStaleTemporaries(const std::string& dest)
{
    const size_t slash = dest.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : dest.substr(0, slash + 1);
    const std::string prefix = "." + dest.substr(folder.size()) + ".";
    RemoveStale(FolderOf(folder), [&](const std::string& name) { return WriterOf(name, prefix); });
}

void RemoveDeadTemporaries(const std::string& folder)
{
    RemoveStale(FolderOf(folder), [](const std::string& name) {
        // ".NAME.PID-N.tmp": the name of the destination may hold dots, the
        // pid and count stand after the last one before the suffix.
        if (name.size() < 2 || name[0] != '.' || !name.ends_with(kTempSuffix))
            return pid_t(0);
        const size_t dot = name.rfind('.', name.size() - std::string_view(kTempSuffix).size() - 1);
        if (dot == std::string::npos || dot < 2)
            return pid_t(0);
        return WriterOf(name, name.substr(0, dot + 1));
    });
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
    finished_ = false;
    error_ = 0;
    end_ = 0;
    dest_ = ResolveForWrite(path);
    struct stat st{};
    if (dest_.empty())
        return fail(ENOENT);
    const bool exists = ::stat(dest_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return fail(EISDIR);
    if (const int err = WriteRefusal(dest_))
        return fail(err);
    // A killed save's journal names temporaries that the sweep below would
    // take for leftovers: its renames are completed first.
    if (const int err = CompleteInterruptedSave(FolderPart(dest_)))
        return fail(err);
    RemoveStaleTemporaries(dest_);
    fd_ = CreateTemporaryBeside(dest_, temp_);
    if (fd_ >= 0) {
        // A replacement keeps the old file's permissions: a file the user
        // closed to others stays closed.
        if (exists && S_ISREG(st.st_mode))
            ::fchmod(fd_, st.st_mode & 0777);
        return true;
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

bool SafeFileWriter::WriteFileContents(const std::string& source)
{
    if (failed_ || fd_ < 0)
        return fail(EBADF);
    // Copies are streamed, whatever their size; a pipe or device is no file.
    const int in = OpenStoredFile(source, kStoredFileAnySize);
    if (in < 0)
        return fail(errno);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(errno);
        if (n <= 0 || !Write(buffer.data(), static_cast<size_t>(n)))
            break;
    }
    ::close(in);
    return !failed_;
}

bool SafeFileWriter::Finish()
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
    if (failed_) {
        Discard();
        return false;
    }
    finished_ = true;
    return true;
}

bool SafeFileWriter::Commit()
{
    if (!finished_ && !Finish())
        return false;
    finished_ = false;
    int err = WriteRefusal(dest_);
    if (err == 0)
        err = Rename(temp_, dest_);
    if (err != 0) {
        fail(err);
        Discard();
        return false;
    }
    temp_.clear();
    return true;
}

void SafeFileWriter::Discard()
{
    finished_ = false;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}
