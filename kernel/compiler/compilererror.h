#pragma once
// The report of a failed compile, list write or program file read: one code,
// its German text, and where in the script it happened.
#include <cstdint>
#include <string>
#include <vector>

// The table text of a code; "Fehler <code>" for a code without one.
std::string CompilerErrorText(int32_t code);
bool CompilerErrorHasText(int32_t code);
// Every code the table holds, in table order.
std::vector<int32_t> CompilerErrorCodes();

// The report as it is shown (UTF-8). text is the detail in Windows-1252
// bytes: the offending token and value, or an explanation of the caller's.
// A position of 0, 0 means none: then only the detail and the message.
std::string CompilerErrorMessage(uint16_t line, uint8_t column, const std::string& text, int32_t code);

// Shows the report in the warning box and, when the script has a position,
// puts the editor's cursor there first.
void ShowCompilerError(uint16_t line, uint8_t column, const std::string& text, int32_t code);
// The report of a program file that could not be read: the file's name as
// the file system has it (UTF-8, not a token of the script) above the
// message of the code.
void ShowFileError(const std::string& fileName, int32_t code);
