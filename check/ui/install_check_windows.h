#pragma once
// The checker windows in the program: the main window's test items, the
// routines the remote commands and the shell's window walks call.
#include <string>

class CheckWindowsShell;
class QWidget;

// Enables and connects "&G-Test", "&P-Test", "&Export Skrel" and their tool
// buttons, and creates the export settings dialog. The shell is kept.
void InstallCheckWindows(CheckWindowsShell& shell);
// Forgets the shell (the main window goes).
void UninstallCheckWindows();

// The program test and export window, shown.
void P_ShowPTest();
// The simulation window, shown and run.
void P_ShowGTest(int icon);
// A new program: the simulation's row marks go.
void P_GTestReset();
// The display routine of the simulation window.
class TFormGTest;
void P_SimulationAnzeigen(TFormGTest* window);

// The menu's routines (nothing while the program is busy or the item is
// off): TestModus, then the window.
void MnuGTestClick();
void MnuPTestClick();
void MnuExportSkrelClick();

// Remote commands: false when they could not be carried out now (a run of
// a checker window is going on, or the item is off). A checker window that
// stands idle or has finished its run is put away first, as the user would.
bool DdeSimulation();
// Shows the export window and gives it the target file (trimmed argument).
bool DdeExportMaFile(const std::string& file);
// "1"/other per option; false (nothing changed) unless four characters.
bool DdeExportExtented(const std::string& argument);
// The start button of the export window shown in export mode; false when
// there is none or its run is going on.
bool DdeExportDo();

// The shell's hooks: a simulation window met by the program windows' walk
// (the run ends, the window closes); the main window closes (step 1); a
// close that waits for the busy program stops a running walk first.
void CloseSimulationWindow(QWidget* form);
void CloseCheckWindowsForShutdown();
void StopCheckWalk();
