#pragma once
// Helpers of the machine program file tests: a machine set up as the bridge
// sets it up, a program written through the dispatcher, saves and loads
// through codes 99 and 205, and the file's sections found by tag.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kernel/model/programcommandblock.h"

namespace tkftest {

using Fill = std::function<void(ProgramCommandBlock&)>;

// Sends one block; the dispatcher's result.
uint16_t Put(uint8_t code, uint8_t sub, uint16_t line, uint8_t selector, const Fill& fill = {}, uint8_t system = 1);
// Reads one block (sub-function 0) and returns it.
ProgramCommandBlock Get(uint8_t code, uint16_t line, uint8_t selector, const Fill& fill = {}, uint8_t system = 1);

// The program header's model and gauge, then the bridge's machine
// preparation, with the temporary folder as target folder.
void SetMachine(const std::string& model, uint8_t gauge);

// A program using every list and the set-up record, with comments,
// continuation lines in F, P and A, both sides of two systems and the
// optional take-down columns when the machine has them, none of the values
// the file cannot carry.
void FillProgram();

// Saves the program through codes 99 and 205 to path: the result.
uint16_t SaveTo(const std::string& path);
// Loads path through codes 99 and 205 (as the bridge does): the result.
uint16_t LoadFrom(const std::string& path);

// The lines of the program dump that start with one of the letters.
std::string DumpLines(const std::string& letters);

// A saved file, read back: its bytes and directory.
struct TkfFile {
    std::string bytes;
    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    std::vector<Entry> entries;
    uint32_t directory = 0;

    explicit TkfFile(const std::string& path);
    const Entry* Find(uint16_t tag) const;
    // The data of a section's record (0-based) of size bytes.
    std::string Record(uint16_t tag, uint32_t index, uint32_t size) const;
    uint16_t U16(size_t at) const;
};

// Writes bytes over a file's bytes at offset (for crafted files).
void Patch(std::string& bytes, size_t at, const std::string& with);
std::string U16Bytes(uint16_t v);
std::string U32Bytes(uint32_t v);

}  // namespace tkftest
