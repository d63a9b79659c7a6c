#pragma once
// The window manager's stacking order of the program's windows, as the X
// server's root window announces it (bottom first). Empty on a platform
// without X or under a window manager that does not announce it.
#include <QtGui/qwindowdefs.h>
#include <vector>

std::vector<WId> WindowManagerStacking();
