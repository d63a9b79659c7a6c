#pragma once
// The script compiler: compiles the script text of the work record into the
// program (function code 202 of the dispatcher). 0 or an error code.
#include <cstdint>

uint16_t ScriptCompile();
