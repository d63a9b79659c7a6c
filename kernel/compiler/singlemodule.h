#pragma once
// A script whose newest module set is the unnamed one ("[]=MAIN") compiles
// its module once, on the rows the header names.
#include <cstdint>

// 0 or the error code (also left in the work record). A module that never
// moves the row is fine here: its "Vorschub fehlt" is cleared.
int32_t CompileSingleModule();
