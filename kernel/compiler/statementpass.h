#pragma once
// The statement pass: the text after the header's END into the statement
// file, noting where each module starts.
#include <cstdint>

// Reads the rest of the script text into the open statement file
// (ZrVar.Statements), notes the MODUL entries in the module-set records,
// writes the $FD[ lines and leaves the file at block 0 for reading. Sets and
// returns the error code (303 when the file cannot be written).
int32_t BuildStatementFile();
