#pragma once
// The main window as the checker windows see it.
#include "check/ui/check_windows_shell.h"

class TFormMain;

class MainCheckWindowsShell : public CheckWindowsShell {
public:
    explicit MainCheckWindowsShell(TFormMain& main) : main_(main) {}

    QWidget* mainWindow() override;
    QAction* action(const QString& name) override;
    QIcon menuIcon(int index) override;
    TModulDdeHndl* dde() override;

private:
    TFormMain& main_;
};
