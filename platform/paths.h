#pragma once
// Path helpers: stored paths may use "\" or "/" and drive letters.
#include <string>
#include <string_view>

// "\" becomes "/", and a drive letter ("C:") is mapped to $ZORIT_DRIVE_ROOT
// (default "/").
std::string NormalizePath(std::string_view path);

// The folder that stands for a drive letter, with a trailing "/".
std::string DriveRoot();

// The name after the last "/", "\" or ":".
std::string FileNamePart(std::string_view path);
// Everything up to and including the last "/", "\" or ":" (empty when none).
std::string FolderPart(std::string_view path);
// Appends the separator the text already uses ("\" when it contains one or
// starts with a drive letter, otherwise "/"); a text ending in either is kept.
std::string AppendSeparator(std::string_view path);
// The name without its extension, then "." and the new extension (given with
// or without the dot).
std::string ReplaceExtension(std::string_view path, std::string_view ext);

// The full path of the running executable (empty when unknown).
std::string ExecutablePath();
// The folder of the running executable, with a trailing "/".
std::string ExecutableFolder();

// Finds an existing file or folder, each component matched ASCII-case-
// insensitively in its folder (an exact match wins, else the first in byte
// order). Returns the native path found, or an empty string.
std::string FindExisting(std::string_view path);
// The existing match of FindExisting, else the normalised given name (with
// the folders that do exist resolved case-insensitively).
std::string ResolveForWrite(std::string_view path);

// ASCII-only case folding and comparison.
std::string AsciiUpper(std::string_view s);
std::string AsciiLower(std::string_view s);
bool AsciiEqualNoCase(std::string_view a, std::string_view b);
