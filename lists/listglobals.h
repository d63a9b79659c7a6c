#pragma once
// Hooks the main window installs for the list windows: lists/ never links
// the shell.
#include <functional>

// Closes the main window (Alt+F4 in a list cell); unset until installed.
extern std::function<void()> CloseMainWindowProc;
