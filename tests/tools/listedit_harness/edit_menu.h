#pragma once
// The main window's Edit menu and edit tool bar as the list windows meet
// them: seven items with their keys, five buttons, the list binding record.
class QMainWindow;

void CreateEditMenu(QMainWindow& main);
// "BIND undo=0 cut=1 ...": which pairs are enabled now.
void PrintEditBinding();
