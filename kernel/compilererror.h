#pragma once
// The error report shared by the compiler, the list functions and the machine
// program file: a code of the kernel's table turned into a German message.
#include <cstdint>
#include <string>

// The table text of a code; "Fehler " + the code for codes without one.
std::string CompilerErrorText(int32_t code);

// Shows text (Windows-1252 bytes) and the code's message in the warning box.
// Line and column 0 mean "no script position".
void ShowCompilerError(uint16_t line, uint8_t column, const std::string& text, int32_t code);
