#include "lists/list_globals.h"

std::function<void()> CloseMainWindowProc;
std::function<void()> ListEditMenuBound;
std::function<QIcon(int)> ListWindowIcon;
std::function<void()> ShowProgrammKopfProc;
