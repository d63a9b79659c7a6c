#pragma once
// Writing a file so that a failed save never costs the old one: the bytes go
// to a temporary file in the destination folder, which is flushed, checked
// and renamed over the destination only when everything was written.
#include <cstddef>
#include <cstdint>
#include <string>

class SafeFileWriter {
public:
    SafeFileWriter() = default;
    // Drops an uncommitted temporary file.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Starts the temporary file for path (an existing file of that name in
    // any letter case is the one replaced). False when it cannot be made.
    bool Create(const std::string& path);
    // Writes count bytes at the current end. False (and failed() from then
    // on) when fewer bytes were written.
    bool Write(const void* data, size_t count);
    // Writes count bytes at offset, leaving the end where it was when the
    // bytes lie before it.
    bool WriteAt(uint64_t offset, const void* data, size_t count);
    // Flushes, closes and renames the file into place. False when any step
    // failed; the old file then stays and the temporary file is removed.
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

private:
    bool fail(int err);

    int fd_ = -1;
    uint64_t end_ = 0;
    bool failed_ = false;
    int error_ = 0;
    std::string dest_;
    std::string temp_;
};

// Makes the file layer fail on purpose, for tests of full disks: writes fail
// with ENOSPC once writeLimit bytes have been written in all (negative: no
// limit), and flushing fails with ENOSPC when failFlush is set.
struct SafeFileFault {
    int64_t writeLimit = -1;
    bool failFlush = false;
};
void SetSafeFileFaultForTesting(const SafeFileFault& fault);
