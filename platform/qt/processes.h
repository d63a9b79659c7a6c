#pragma once
// Starting other programs.
#include <string>

// Starts the command line in the drive root. With wait, blocks until the
// process ends; otherwise starts it detached and processes pending events
// once. The hidden flag has no meaning here. False when it could not start.
bool P_RunProgram(const std::string& commandLine, bool hidden, bool wait);

// Starts a new instance of the program's own executable, not waited for.
bool P_RestartProgram();
