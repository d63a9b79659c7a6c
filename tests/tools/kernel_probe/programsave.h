#pragma once
// Saving the program the probe holds, as the program's saving does: the
// machine program file OUT with the pattern file names of its present planes.
#include <string>

// Prints "OK" or "ERROR <code> <text>"; returns the exit status (0 or 1).
int SaveProgramAs(const std::string& out);
