#include "check/ui/install_check_windows.h"

#include <QAction>
#include <QCoreApplication>

#include "check/export_options.h"
#include "check/rules/checkstate.h"
#include "check/simdll.h"
#include "check/ui/check_items.h"
#include "check/ui/check_windows_shell.h"
#include "check/ui/form_export_erweitert.h"
#include "check/ui/form_gtest_zorit.h"
#include "check/ui/form_ptest.h"
#include "kernel/dispatch/busystate.h"
#include "kernel/model/globals.h"
#include "kernel/services/services.h"
#include "kernel/ui/forms.h"

namespace {

CheckWindowsShell* shellInUse = nullptr;

// The menu item's own picture stands for its image index.
constexpr int kItemIcon = -1;

bool ItemOn(const char* name)
{
    QAction* a = shellInUse ? shellInUse->action(name) : nullptr;
    return a && a->isEnabled();
}

QWidget* MainWindow()
{
    return shellInUse ? shellInUse->mainWindow() : nullptr;
}

}  // namespace

CheckWindowsShell* CheckShell()
{
    return shellInUse;
}

void InstallCheckWindows(CheckWindowsShell& shell)
{
    shellInUse = &shell;
    if (!FormExportErweitert)
        FormExportErweitert = new TFormExportErweitert(shell.mainWindow());
    if (QAction* item = shell.action("MnuExportSkrel"))
        item->setProperty("Tag", 1);
    const std::pair<const char*, void (*)()> routes[] = {
        {"MnuGTest", &MnuGTestClick},         {"ToolButtonGTest", &MnuGTestClick},
        {"MnuPTest", &MnuPTestClick},         {"ToolButtonPTest", &MnuPTestClick},
        {"MnuExportSkrel", &MnuExportSkrelClick}, {"ToolButtonExportSkrel", &MnuExportSkrelClick},
    };
    for (const auto& [name, route] : routes)
        if (QAction* a = shell.action(name)) {
            a->setEnabled(true);
            QObject::connect(a, &QAction::triggered, a, [route = route] { route(); });
        }
    SetSimMarkedRowsProvider([] {
        return G_Test ? G_Test->MarkedRows() : std::pair<uint16_t, uint16_t>{0, 0};
    });
}

void UninstallCheckWindows()
{
    SetSimMarkedRowsProvider(nullptr);
    shellInUse = nullptr;
}

void P_ShowPTest()
{
    if (!FormExists("FormPTest"))
        FormPTest = new TFormPTest(MainWindow());
    FormPTest->show();
    FormPTest->raise();
    FormPTest->activateWindow();
}

void P_ShowGTest(int icon)
{
    if (!FormExists("FormPTest"))
        FormPTest = new TFormPTest(MainWindow());
    if (!FormExists("G_Test")) {
        G_Test = new TFormGTestZorit(MainWindow());
        if (QAction* item = shellInUse ? shellInUse->action("MnuGTest") : nullptr)
            G_Test->setWindowIcon(icon >= 0 ? shellInUse->menuIcon(icon) : item->icon());
    }
    TFormGTestZorit* window = G_Test;
    window->show();
    window->raise();
    window->activateWindow();
    // Activation may come late (or, without a window manager, never).
    window->FormActivate();
    if (!SimDllRecord.usable() || window->Run().mode() == GTestRunState::Created) {
        window->close();
        return;
    }
    window->ToolButtonStartClick();
}

void P_GTestReset()
{
    if (G_Test)
        G_Test->ClearMarks();
}

void P_SimulationAnzeigen(TFormGTest* window)
{
    if (window)
        window->P_SimulationAnzeigen(true);
}

void MnuGTestClick()
{
    if (ProgramBusy())
        return;
    TestModus = 1;
    P_ShowGTest(kItemIcon);
}

void MnuPTestClick()
{
    if (ProgramBusy())
        return;
    TestModus = 0;
    P_ShowPTest();
}

void MnuExportSkrelClick()
{
    if (ProgramBusy())
        return;
    TestModus = 2;
    P_ShowPTest();
}

void DdeSimulation()
{
    if (!ItemOn("MnuGTest"))
        return;
    TestModus = 1;
    P_ShowGTest(kItemIcon);
}

void DdeExportMaFile(const std::string& file)
{
    TFormPTest* window = FormExists("FormPTest") ? FormPTest : nullptr;
    const bool shownForExport = window && window->isVisible() && window->Mode() == 2;
    if (shownForExport && window->Finished())
        window->hide();
    else if (shownForExport && !window->RunStarted()) {
        window->SetMaTyp(file);
        return;
    }
    if (!ItemOn("MnuExportSkrel"))
        return;
    TestModus = 2;
    P_ShowPTest();
    FormPTest->SetMaTyp(file);
}

bool DdeExportExtented(const std::string& argument)
{
    if (argument.size() != 4) {
        P_WarningBox("Befehl EXPORT EXTENTED\r\nDaten falsch\r\n" + argument);
        return false;
    }
    uint8_t* const options[] = {&ExportFfTypTrans, &ExportGgChange, &ExportNListeWs, &ExportSListeWs};
    const char* const keys[] = {"FfTypTrans", "GgChange", "NListeWs", "SListeWs"};
    for (size_t i = 0; i < 4; ++i) {
        *options[i] = argument[i] == '1' ? 1 : 0;
        // The export window reads the options from the settings when shown.
        P_WriteIni("Export", keys[i], *options[i] ? "1" : "0");
    }
    return true;
}

bool DdeExportDo()
{
    TFormPTest* window = FormExists("FormPTest") ? FormPTest : nullptr;
    if (!window || !window->isVisible() || window->Mode() != 2)
        return false;
    window->ButtonStartClick();
    return true;
}

void CloseSimulationWindow(QWidget* form)
{
    auto* window = dynamic_cast<TFormGTest*>(form);
    // A hidden window has been closed already and holds no run; an abort
    // mark would stay on it (no close reaches a hidden window) and keep
    // every later simulation from running.
    if (!window || window->isHidden())
        return;
    window->Run().SetMode(GTestRunState::Aborted);
    P_SimulationAnzeigen(window);
    window->close();
}

void CloseCheckWindowsForShutdown()
{
    if (QWidget* g = FindForm("G_Test"); g && g->isVisible())
        g->close();
}

void StopCheckWalk()
{
    if (!CheckState.running)
        return;
    CheckState.userAbort = 1;
    CheckState.continueFlag = 1;
    if (G_Test && G_Test->WalkRunning())
        G_Test->close();
}
