#pragma once
// The probes' --save: the program saved as the program's saving does it,
// the machine program file OUT with the pattern files of the present planes
// beside it.
#include <string>

// Prints "OK" or "ERROR <code> <text>"; returns the exit status (0 or 1).
int SaveProgramAs(const std::string& out);
