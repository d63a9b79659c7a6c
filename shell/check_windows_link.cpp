#include "shell/check_windows_link.h"

#include "shell/dde_hndl_zorit.h"
#include "shell/form_main.h"
#include "shell/image_lists.h"

QWidget* MainCheckWindowsShell::mainWindow()
{
    return &main_;
}

QAction* MainCheckWindowsShell::action(const QString& name)
{
    return main_.Action(name);
}

QIcon MainCheckWindowsShell::menuIcon(int index)
{
    return MnuBildIcon(index);
}

TModulDdeHndl* MainCheckWindowsShell::dde()
{
    return DdeHndlZorit;
}
