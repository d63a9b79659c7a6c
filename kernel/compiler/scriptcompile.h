#pragma once
// The script compiler: compiles the script text of the work record into the
// program (function code 202 of the dispatcher).
#include <cstdint>

// Pass 1 (header), the statement file, pass 2, the modules (one module, or
// the named set over the pattern and its scheme sequence), the stitch
// density fix-ups, and on failure the error report. 0 or the error code,
// which the work record keeps too, with the report's detail text.
int32_t ScriptCompile();
