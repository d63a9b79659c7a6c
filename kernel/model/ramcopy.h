#pragma once
// The RAM copy: the whole program in one file ("Saveram.Tmp", "Saveram2.Tmp"
// in the temporary folder), carrying it from one run to the next and keeping
// the programs of the two working levels apart.
//
// Layout, little-endian, no padding: the 28-byte program header; the lists
// Z N W S V F P A, each a u16 count and its lines 1..count whole; the 2580-byte
// set-up record; the planes 0, 2, 1, each a present byte and, when it is not
// 0, an attribute byte and rows 0..height of width bytes each (width and
// height from the header of the same file).
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Where the parts of a whole snapshot lie.
struct RamCopyLayout {
    size_t setup = 0;                // the set-up record
    std::array<size_t, 3> plane{};   // the present byte of planes 0, 1, 2
    size_t end = 0;                  // the first byte after the snapshot
};

// The program as a snapshot. Raises the set-up record's level byte from 0
// to 1 first, in the program too (a level of 0 means level 1 everywhere).
std::string SerializeProgram();

// Empty when the bytes begin with a whole snapshot the program can hold
// (width at most 2000, no list above 20000 lines, every part there; bytes
// behind it are ignored), else why not. Fills layout when given and whole.
std::string CheckRamCopy(std::string_view bytes, RamCopyLayout* layout = nullptr);

// Replaces the program by the snapshot. Bytes that CheckRamCopy refuses
// change nothing and give false.
bool DeserializeProgram(std::string_view bytes);

// The RAM copy of the current working level: "Saveram.Tmp" for level 1,
// "Saveram2.Tmp" otherwise, in TempPfad.
std::string RamCopyPath();

// Writes the snapshot through the unit stream: a temporary file renamed over
// the old one. A failed write keeps the old file and goes to the debug log;
// false then, with code the disk error (as F_DiskErrorText takes it).
bool StoreRamCopy(const std::string& path, int& code);
// StoreRamCopy that shows the disk error when the write fails.
bool WriteRamCopy(const std::string& path);

// Replaces the program by the named snapshot. A missing file changes nothing.
// The whole file is checked before anything changes: a file that cannot be
// read or is refused goes to the debug log, shows nothing and changes
// nothing. Otherwise the program is emptied through emptyProgram (the
// shell's new program, which also closes the windows it must), or without
// one through the kernel's new program, closing the program windows when the
// machine model changed; then the snapshot is taken over. Should the file
// fail to read after its check (changed meanwhile), the program is emptied
// again and logged: never half a snapshot. True when the program was
// replaced.
bool ReadRamCopy(const std::string& path, const std::function<void()>& emptyProgram = {});
