#pragma once
// Opening a file that the program reads: whatever name a user, a script or
// the design program hands over, only a regular file is read. A named pipe
// would wait for a writer for good and a device such as /dev/zero never
// ends, so both are refused before a byte is read, as is a file larger than
// the reader takes.
#include <cstdint>
#include <string>

// No limit of the reader's own: it reads a bounded part of the file.
inline constexpr uint64_t kStoredFileAnySize = UINT64_MAX;

// Opens path (as given: callers find it case-insensitively first) for
// reading. The descriptor, with reads blocking as usual, and the file's size
// in size; or -1 with errno ENOENT (no such file), EISDIR (a folder), ENODEV
// (a pipe, device or socket: no file to read), EFBIG (larger than limit) or
// what the system said.
int OpenStoredFile(const std::string& path, uint64_t limit, uint64_t* size = nullptr);

// The whole file through OpenStoredFile into bytes. False with errno set as
// there (EIO for a file that ended early or failed to read); bytes then
// hold nothing.
bool ReadStoredFile(const std::string& path, uint64_t limit, std::string& bytes);

// At most count bytes from the start of the file, through OpenStoredFile
// without a size limit (the reader takes a bounded part). False with errno
// set when the file cannot be opened; a shorter file gives fewer bytes.
bool ReadStoredFilePrefix(const std::string& path, size_t count, std::string& bytes);
