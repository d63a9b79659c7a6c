#pragma once
// Saving the program the probe holds, as the program's saving does: the
// machine program file OUT, and beside it the pattern files of the present
// planes, named after OUT.
#include <string>

// Prints "OK" or "ERROR <code> <text>"; returns the exit status (0 or 1).
int SaveProgramAs(const std::string& out);
