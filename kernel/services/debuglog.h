#pragma once
// The trace file "Debug.Txt" in the program folder, new at every start.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

using LogValue = std::variant<std::string, const char*, int64_t, int, unsigned, double, bool>;

// Forms the file name in ProgrammPfad and deletes the previous log.
void DebugLogStart();
// Appends one line: time of day, ": ", milliseconds since midnight, " ", then
// each value and a blank. Never throws; I/O errors are swallowed.
void DebugLog(std::initializer_list<LogValue> values);
void DebugLogValue(const LogValue& value);
// The log file's path.
std::string DebugLogPath();
