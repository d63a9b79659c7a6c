#pragma once
// A stand-in main window for the checker windows: the six test items as
// actions, disabled until the windows are installed.
#include <QAction>
#include <QApplication>
#include <QMap>
#include <QWidget>

#include "check/rules/checkstate.h"
#include "check/ui/check_windows_shell.h"
#include "check/ui/install_check_windows.h"

class FakeCheckShell : public CheckWindowsShell {
public:
    QWidget main;
    QMap<QString, QAction*> actions;

    FakeCheckShell()
    {
        main.setObjectName("FormMain");
        for (const char* name : {"MnuGTest", "MnuPTest", "MnuExportSkrel", "ToolButtonGTest", "ToolButtonPTest",
                                 "ToolButtonExportSkrel"}) {
            auto* a = new QAction(name, &main);
            a->setObjectName(name);
            a->setEnabled(false);
            actions.insert(name, a);
        }
    }
    QWidget* mainWindow() override { return &main; }
    QAction* action(const QString& name) override { return actions.value(name, nullptr); }
    QIcon menuIcon(int) override { return {}; }
    TModulDdeHndl* dde() override { return nullptr; }
};

// The checker windows go with the stand-in that owns them, then every other
// window; the checker's sinks point nowhere again.
inline void CloseCheckWindows(FakeCheckShell* shell)
{
    UninstallCheckWindows();
    delete shell;
    for (QWidget* w : QApplication::topLevelWidgets())
        delete w;
    CheckState.messageSink = nullptr;
    CheckState.carrierReportSink = nullptr;
}
