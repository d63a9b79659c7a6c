#pragma once
// A file of fixed-size records beside the machine program file ("K-Liste.TMP",
// "SF-Liste.DB", the list sections' ".DB" files). It is made at least as large
// as its capacity when opened, keeps whatever an earlier job left in it, and
// stays in the folder after the job.
#include <cstdint>
#include <string>

class StagingFile {
public:
    StagingFile() = default;
    ~StagingFile();
    StagingFile(const StagingFile&) = delete;
    StagingFile& operator=(const StagingFile&) = delete;

    // Opens (or creates) the file at path and grows it to capacity records.
    // False when that fails (Error() then holds the system's error number).
    bool Open(const std::string& path, uint32_t recordSize, uint32_t capacity);
    bool IsOpen() const { return fd_ >= 0; }

    // count records from index on; a write past the capacity grows the file.
    bool Write(uint32_t index, const void* records, uint32_t count = 1);
    // False, with the buffer left as it was, when the records are not all there.
    bool Read(uint32_t index, void* records, uint32_t count = 1);
    // False when the data could not be put on disk.
    bool Close();

    const std::string& Path() const { return path_; }
    uint32_t RecordSize() const { return recordSize_; }
    int Error() const { return error_; }

private:
    int fd_ = -1;
    uint32_t recordSize_ = 0;
    std::string path_;
    int error_ = 0;
};
