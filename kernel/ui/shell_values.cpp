#include "kernel/ui/shell_values.h"

int ToolFormStyle = 0;
int16_t ListWindowLeft = 0;
int16_t ListWindowTop = 0;
uint16_t MainClientWidth = 0;
uint16_t MainClientHeight = 0;
int CoolBarMainHeight = 0;
int CoolBarMainBottom = 0;
std::string SettingsPath;
QString MainFormName;
QWidget* MainForm = nullptr;
std::function<void(const QString&)> StatusTextProc;

void P_StatusText(const QString& text)
{
    if (StatusTextProc)
        StatusTextProc(text);
}
