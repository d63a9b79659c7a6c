#pragma once
// What the checker windows need of the main window, which they never link:
// the shell implements it and hands it to InstallCheckWindows.
#include <QIcon>
#include <QString>

class QAction;
class QWidget;
class TModulDdeHndl;

class CheckWindowsShell {
public:
    virtual ~CheckWindowsShell() = default;
    // The main window (focus, minimising, the tool bar's place).
    virtual QWidget* mainWindow() = 0;
    // A menu item or tool button by component name; nullptr when none.
    virtual QAction* action(const QString& name) = 0;
    // An icon of the main menu's image list.
    virtual QIcon menuIcon(int index) = 0;
    // The DDE module that talks to the design program; nullptr when none.
    virtual TModulDdeHndl* dde() = 0;
};

// The shell installed (nullptr before InstallCheckWindows).
CheckWindowsShell* CheckShell();
