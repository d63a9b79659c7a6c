#pragma once
// The unit stream through which the machine program file and the SMZ
// container are read and written. Every call takes the caller's error flag
// and does nothing once it is set.
#include <cstdint>
#include <string>

// Releases the current stream; unless error is set, opens the file for
// reading (toFile) or starts an empty memory stream.
void P_DiskOpen(const std::string& path, bool& error, bool toFile);
// Releases the current stream; unless error is set, creates the file (toFile)
// or an empty memory stream. The file is written to a temporary file in the
// destination folder and put in place when the stream is released, unless
// an operation since the create failed or met a set flag.
void P_DiskCreate(const std::string& path, bool& error, bool toFile);
// Releases the stream. False when a created file was not put in place.
bool P_DiskClose();
void P_DiskWrite(const void* buffer, uint32_t count, bool& error);
void P_DiskRead(void* buffer, uint32_t count, bool& error);
// P_DiskRead for large reads (whole sections of a file): the bytes go
// straight into buffer, without a copy aside, so that after a read that
// fails half-way its content is undefined. A read past the end still
// leaves it as it was.
void P_DiskReadBulk(void* buffer, uint32_t count, bool& error);
void P_DiskSeek(uint32_t position, bool& error);
uint32_t F_DiskSize(bool& error);
uint32_t F_DiskPosition(bool& error);

// The disk error code (DiskErrorCode) of the last system error met since the
// last open or create: the open or create itself, a write, or putting a
// created file in place. 0 when none.
int P_DiskLastError();
// The system's error number as the program's disk error code.
int DiskErrorCode(int err);

// The bytes of the memory stream (empty when the stream is not one).
std::string P_DiskMemoryBytes();
// Replaces the memory stream's bytes and goes to position 0, so that a copy
// kept in memory can be read back. Does nothing when the stream is not a
// memory stream.
void P_DiskMemoryLoad(const std::string& bytes);
