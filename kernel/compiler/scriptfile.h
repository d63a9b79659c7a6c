#pragma once
// Reading a knitting script file whole, for a compile outside the editor.
#include <cstdint>
#include <string>

// The largest script read: the compiler counts positions in 32 bits, and a
// real script holds some hundred kilobytes.
inline constexpr uint64_t kMaxScriptBytes = uint64_t{64} << 20;

// The file's bytes as stored (found in any letter case) into text. 0, or the
// disk error code (2 for a missing file and for a pipe, device or folder)
// with text empty.
int ReadScriptFile(const std::string& path, std::string& text);
