#pragma once
// The cells of every list window, one WINDOW line each, then its CELL lines
// (screen coordinates), for checks from outside.
#include <string>

std::string CellDump();
