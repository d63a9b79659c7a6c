#pragma once
// What every fuzz target shares: one fresh folder per process that serves as
// program folder and temporary folder, emptied after each input, and the
// program model with its defaults.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kernel/dispatch/kernel_host.h"

namespace fuzz {

// Sets up the folder, the environment variables below it and the program
// model once; later calls do nothing.
void InitEnvironment();

// The folder of this process, with a trailing "/".
const std::string& Folder();

// Writes the bytes to the named file in the folder; returns its path.
std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size);
std::string WriteInput(const std::string& name, std::string_view bytes);

// A file's bytes (empty when it cannot be read).
std::string ReadFile(const std::string& path);

// Removes everything a run left in the folder (the Temp folder is made anew).
void ClearFolder();

// Frees the program model and makes a fresh one with its defaults, so that
// no run leaks state into the next.
void ResetProgramModel();

// Ends the run with "<target>: <what>" on stderr unless ok, so that the
// fuzzer keeps the input that broke the expectation.
void Check(bool ok, const char* target, const char* what);

// Saves the program in the model as a machine program file and ends the run
// unless it loads again (the compile targets' check of what they compiled).
void CheckSavedProgramLoads(const char* target);

// Counts the warning boxes; everything else as the null host does.
class CountingHost : public KernelHost {
public:
    int messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override
    {
        warnings += kind == MsgKind::Warning;
        return KernelHost::messageDlg(text, kind, buttons);
    }
    int warnings = 0;
};

// Takes values from the front of an input: a target that needs more than
// the file (an expected size, a language letter) reads them first and gives
// the rest to the reader.
struct Reader {
    Reader(const std::uint8_t* data, std::size_t size)
        : bytes(reinterpret_cast<const char*>(data), size)
    {
    }
    // The next byte (0 once the input is used up).
    std::uint8_t Byte();
    // The next little-endian 32-bit value (missing bytes read as 0).
    std::uint32_t U32();
    // The rest of the input.
    std::string_view Rest();

    std::string_view bytes;
    std::size_t pos = 0;
};

}  // namespace fuzz
