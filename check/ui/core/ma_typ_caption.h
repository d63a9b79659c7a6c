#pragma once
// The export window's target machine-type file: a ".D10" text file, or a
// folder (ending in "\" or "/") while none is chosen.
#include <string>

// True for a folder name.
bool IsMaTypFolder(const std::string& stored);
// "--> " + the file's "!M_TYP" value; empty for a folder, a missing file or
// a file without that key.
std::string MaTypCaption(const std::string& stored);
