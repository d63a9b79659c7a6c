#pragma once
// Values the main window publishes at its creation for the other windows.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

// 3: the tool windows stay on top.
extern int ToolFormStyle;
// Where list windows open when they have no stored place: left, top.
extern int16_t ListWindowLeft;
extern int16_t ListWindowTop;
// The main window's client size: the bounds of the selection dialogs.
extern uint16_t MainClientWidth;
extern uint16_t MainClientHeight;
// The tool bar area's height and the screen y of its lower edge, kept up to
// date while the main window is shown, moved and resized.
extern int CoolBarMainHeight;
extern int CoolBarMainBottom;
// The settings file's path and the main window's component name.
extern std::string SettingsPath;
extern QString MainFormName;
extern QWidget* MainForm;
// Shows a text in the main window's status bar (does nothing before the main
// window publishes it).
extern std::function<void(const QString&)> StatusTextProc;
void P_StatusText(const QString& text);
