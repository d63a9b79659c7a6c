#pragma once
// Writing a file so that a failed save never costs the old one: the bytes go
// to a temporary file in the destination folder, which is flushed, checked
// and renamed over the destination only when everything was written.
#include <cstddef>
#include <cstdint>
#include <string>

// True when a SafeFileWriter can write path: every part of it within the
// file system's 255 bytes, the file's name short enough for the marks its
// temporary file's name adds, and the whole within the 4096 bytes of a
// path. A name that does not fit would fail only half-way through a save.
bool SafeFileNameFits(const std::string& path);

class SafeFileWriter {
public:
    SafeFileWriter() = default;
    // Drops an uncommitted temporary file.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Starts the temporary file for path (an existing file of that name in
    // any letter case is the one replaced, and it lends the new file its
    // permissions). False when it cannot be made or the existing file may
    // not be written (WriteRefusal).
    bool Create(const std::string& path);
    // Writes count bytes at the current end. False (and failed() from then
    // on) when fewer bytes were written.
    bool Write(const void* data, size_t count);
    // Writes count bytes at offset, leaving the end where it was when the
    // bytes lie before it.
    bool WriteAt(uint64_t offset, const void* data, size_t count);
    // Writes the whole content of the file source at the current end.
    bool WriteFileContents(const std::string& source);
    // Flushes and closes the temporary file, leaving it beside the
    // destination for Commit. False when a step failed; the temporary file
    // is then removed.
    bool Finish();
    // Finishes the file when that is still to do, then renames it into
    // place unless the existing file may not be written by now. False when
    // any step failed; the old file then stays and the temporary file is
    // removed.
    bool Commit();
    // Drops the temporary file.
    void Discard();

    bool failed() const { return failed_; }
    // The errno of the first failure (ENOSPC for a write that wrote less).
    int error() const { return error_; }
    // The first failure was a full disk.
    bool diskFull() const;
    // The path that is (or would be) replaced.
    const std::string& destination() const { return dest_; }
    // The temporary file while one stands (empty once committed or dropped).
    const std::string& temporary() const { return temp_; }

private:
    bool fail(int err);

    int fd_ = -1;
    bool finished_ = false;
    uint64_t end_ = 0;
    bool failed_ = false;
    int error_ = 0;
    std::string dest_;
    std::string temp_;
};

// EACCES (or EROFS) when path names an existing file this process may not
// write: no write permission, or every write bit cleared, the read-only mark
// a user sets, which even the superuser's saves respect. 0 otherwise. A
// rename would replace such a file, since only the folder's write bit
// counts for it.
int WriteRefusal(const std::string& path);
// A fresh temporary file beside dest, named ".NAME.PID-N.tmp" after dest's
// name and the writing process. The descriptor, or -1 with errno set.
int CreateTemporaryBeside(const std::string& dest, std::string& temp);
// Removes the temporary files of dest (named as above) whose process is no
// longer running: what a killed save left behind.
void RemoveStaleTemporaries(const std::string& dest);
// Removes every temporary file of the form above in folder, whatever file
// it was to replace, whose process is no longer running. A save in another
// running process keeps its files.
void RemoveDeadTemporaries(const std::string& folder);
// The rule of both: a temporary's writer is gone when no process runs
// under its pid, or when the one that does began (processStart, seconds
// since the epoch; 0 unknown) after the file was last changed (lastChange),
// since then the pid has been given again.
bool TemporaryWriterGone(bool running, double processStart, double lastChange);

// Makes the file layer fail on purpose, for tests of full disks: writes fail
// with ENOSPC once writeLimit bytes have been written in all (negative: no
// limit), flushing fails with ENOSPC when failFlush is set, and renaming
// into place fails with EIO after renamesBeforeFailure renames (negative:
// never).
struct SafeFileFault {
    int64_t writeLimit = -1;
    bool failFlush = false;
    int renamesBeforeFailure = -1;
};
void SetSafeFileFaultForTesting(const SafeFileFault& fault);
// The same fault for the other writers of files (the unit stream): how many
// of count bytes may be written now, counted as written; 0 once the disk is
// full.
size_t TakeSafeFileFaultAllowance(size_t count);
