#pragma once
// The free-system-resources figure of the status bar.
#include <cstdint>

// The percentage of free resources of kind 0 (system), 1 (GDI) or 2 (user)
// from the optional library "RSRC32.DLL", tried once; 101 when the figure
// is not available, and for any other kind.
int FreeResources(uint8_t kind);

// Releases the library at the end of the program.
void FreeResourcesDone();
