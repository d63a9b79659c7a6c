#pragma once
// Hooks the main window installs for the list windows: lists/ never links
// the shell.
#include <QIcon>
#include <functional>

// Closes the main window (Alt+F4 in a list cell); unset until installed.
extern std::function<void()> CloseMainWindowProc;
// Called after a list window bound the edit menu (the list harness logs it).
extern std::function<void()> ListEditMenuBound;
// The icon of the main window's image list at an index; unset: no icon.
extern std::function<QIcon(int)> ListWindowIcon;
// Shows the program header in the main window (after the set-up sheet
// changed model or gauge); unset until installed.
extern std::function<void()> ShowProgrammKopfProc;
