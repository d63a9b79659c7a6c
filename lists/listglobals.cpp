#include "lists/listglobals.h"

std::function<void()> CloseMainWindowProc;
