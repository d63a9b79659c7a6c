#include "check/ui/install_check_windows.h"

#include <QAction>
#include <QCoreApplication>
#include <vector>

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

TFormPTest* ShownPTest()
{
    TFormPTest* window = FormExists("FormPTest") ? FormPTest : nullptr;
    return window && window->isVisible() ? window : nullptr;
}

// A remote command finds a checker window in its way: one that stands idle
// or has finished is put away, one whose run goes on refuses the command.
// The export window stays when the command is meant for it.
bool ClearWayForRemote(bool keepExportWindow)
{
    if (G_Test && G_Test->isVisible()) {
        if (G_Test->WalkRunning())
            return false;
        G_Test->close();
        if (G_Test && G_Test->isVisible())
            return false;
    }
    if (TFormPTest* window = ShownPTest(); window && !(keepExportWindow && window->Mode() == 2)) {
        if (window->RunStarted() && !window->Finished())
            return false;
        window->hide();
    }
    return true;
}

// Counts characters, not bytes: the command arrives in UTF-8.
std::vector<std::string> Utf8Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (const char c : text) {
        if (characters.empty() || (static_cast<unsigned char>(c) & 0xC0) != 0x80)
            characters.emplace_back();
        characters.back() += c;
    }
    return characters;
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
    FormPTest->PlaceBelowToolBars();
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

bool DdeSimulation()
{
    if (!ClearWayForRemote(false) || !ItemOn("MnuGTest"))
        return false;
    TestModus = 1;
    P_ShowGTest(kItemIcon);
    return true;
}

bool DdeExportMaFile(const std::string& file)
{
    if (!ClearWayForRemote(true))
        return false;
    TFormPTest* window = ShownPTest();
    if (window && window->Finished())
        window->hide();
    else if (window && !window->RunStarted()) {
        window->SetMaTyp(file);
        return true;
    } else if (window)
        return false;
    if (!ItemOn("MnuExportSkrel"))
        return false;
    TestModus = 2;
    P_ShowPTest();
    FormPTest->SetMaTyp(file);
    return true;
}

bool DdeExportExtented(const std::string& argument)
{
    const std::vector<std::string> characters = Utf8Characters(argument);
    if (characters.size() != 4) {
        P_WarningBox("Befehl EXPORT EXTENTED\r\nDaten falsch\r\n" + argument);
        return false;
    }
    uint8_t* const options[] = {&ExportFfTypTrans, &ExportGgChange, &ExportNListeWs, &ExportSListeWs};
    const char* const keys[] = {"FfTypTrans", "GgChange", "NListeWs", "SListeWs"};
    for (size_t i = 0; i < 4; ++i) {
        *options[i] = characters[i] == "1" ? 1 : 0;
        // The export window reads the options from the settings when shown.
        P_WriteIni("Export", keys[i], *options[i] ? "1" : "0");
    }
    return true;
}

bool DdeExportDo()
{
    TFormPTest* window = ShownPTest();
    if (!window || window->Mode() != 2 || (window->RunStarted() && !window->Finished()))
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
