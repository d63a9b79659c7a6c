#include "platform/save_journal.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/safe_file.h"

const char* const kSaveJournalName = ".ZoritSave.jnl";

namespace {

// Fields end in NUL: names may hold any other byte. The last field says the
// journal was written to its end.
constexpr std::string_view kMagic = "ZORIT SAVE JOURNAL 1";
constexpr std::string_view kRename = "R";
constexpr std::string_view kRemove = "D";
constexpr std::string_view kEnd = "E";

int stepKillPoint = 0;
int stepsPassed = 0;

void AddField(std::string& out, std::string_view field)
{
    out.append(field);
    out.push_back('\0');
}

bool PlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

struct Journal {
    std::vector<JournalRename> renames;
    std::vector<std::string> removals;
};

// False when bytes are not a whole journal.
bool Parse(const std::string& bytes, Journal& journal)
{
    std::vector<std::string_view> fields;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const size_t nul = rest.find('\0');
        if (nul == std::string_view::npos)
            return false;
        fields.push_back(rest.substr(0, nul));
        rest.remove_prefix(nul + 1);
    }
    if (fields.size() < 2 || fields.front() != kMagic || fields.back() != kEnd)
        return false;
    for (size_t i = 1; i + 1 < fields.size();) {
        if (fields[i] == kRename && i + 3 < fields.size() && PlainName(fields[i + 1]) && PlainName(fields[i + 2])) {
            journal.renames.push_back({std::string(fields[i + 1]), std::string(fields[i + 2])});
            i += 3;
        } else if (fields[i] == kRemove && i + 2 < fields.size() && PlainName(fields[i + 1])) {
            journal.removals.emplace_back(fields[i + 1]);
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

int ReadWhole(const std::string& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    struct stat st{};
    // A journal is a few hundred bytes: anything else is not ours.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > (1 << 20)) {
        ::close(fd);
        return EINVAL;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return err;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return 0;
}

int WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Renames reach the disk in the order the journal needs only once the
// folder itself is flushed.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool Exists(const std::string& path)
{
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

int WriteSaveJournal(const std::string& folder, const std::vector<JournalRename>& renames,
                     const std::vector<std::string>& removals)
{
    std::string bytes;
    AddField(bytes, kMagic);
    for (const JournalRename& r : renames) {
        if (!PlainName(r.temp) || !PlainName(r.target))
            return EINVAL;
        AddField(bytes, kRename);
        AddField(bytes, r.temp);
        AddField(bytes, r.target);
    }
    for (const std::string& name : removals) {
        if (!PlainName(name))
            return EINVAL;
        AddField(bytes, kRemove);
        AddField(bytes, name);
    }
    AddField(bytes, kEnd);

    const std::string path = folder + kSaveJournalName;
    RemoveStaleTemporaries(path);
    std::string temp;
    const int fd = CreateTemporaryBeside(path, temp);
    if (fd < 0)
        return errno;
    int err = WriteAll(fd, bytes);
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return err;
    }
    SyncFolder(folder);
    return 0;
}

int RemoveSaveJournal(const std::string& folder)
{
    SyncFolder(folder);
    const std::string path = folder + kSaveJournalName;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return errno;
    return 0;
}

int CompleteInterruptedSave(const std::string& folder)
{
    const std::string path = folder + kSaveJournalName;
    // A journal that a killed save was still writing never got its name: it
    // names nothing to complete, and no later save need find it there.
    RemoveStaleTemporaries(path);
    std::string bytes;
    if (const int err = ReadWhole(path, bytes)) {
        if (err != ENOENT)
            return err;
        RemoveDeadTemporaries(folder);
        return 0;
    }
    Journal journal;
    if (Parse(bytes, journal)) {
        // Every temporary was whole before the journal was there: those
        // still there are the renames the killed save did not get to.
        for (const JournalRename& r : journal.renames) {
            const std::string temp = folder + r.temp;
            if (Exists(temp) && std::rename(temp.c_str(), (folder + r.target).c_str()) != 0)
                return errno;
        }
        for (const std::string& name : journal.removals)
            if (::unlink((folder + name).c_str()) != 0 && errno != ENOENT)
                return errno;
    }
    if (const int err = RemoveSaveJournal(folder))
        return err;
    // What killed saves left without a journal (a save is killed before its
    // journal stands, whatever file of the folder it wrote) goes too, once
    // the journal's own temporaries have been put in place.
    RemoveDeadTemporaries(folder);
    return 0;
}

void SaveStepPoint()
{
    if (stepKillPoint > 0 && ++stepsPassed == stepKillPoint)
        ::kill(::getpid(), SIGKILL);
}

void SetSaveStepKillForTesting(int point)
{
    stepKillPoint = point;
    stepsPassed = 0;
}
