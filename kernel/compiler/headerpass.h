#pragma once
// Pass 1 of the script compiler: the module-set name, BEGIN, the
// $-directives, the module-set definitions and END. Every list value goes
// through the dispatcher.
#include <cstdint>

// Reads the header from ZrVar.ScriptText, starting at its first character;
// leaves the reader behind END. Sets and returns the error code: 0, a
// header code (404, 407, 408, ...), a dispatcher code, or -100 when no
// machine was named.
int32_t ParseScriptHeader();
