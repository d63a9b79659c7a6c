#pragma once
// A program folder of the benchmark's own with the checker tests' program
// of 30,000 strokes on 1,000 needles compiled (Qt-free: the work record's
// fields meet Qt's keywords).
#include <string>

// Empty on success, else the compiler's output or the reason.
std::string PrepareLongProgram();
