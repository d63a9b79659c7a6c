#pragma once
// What the windows do while the program is busy: the commands that change or
// replace the program are disabled, commands from outside wait, and work that
// must not run during a job (closing the main window) waits for its end.
#include <functional>

class QAction;

// An action that changes or replaces the program: disabled while a job runs,
// given back its own state afterwards. Forgotten when it is destroyed.
void RegisterProgramAction(QAction* action);

// Installs the busy observer: holdCommands(true) when the first job starts,
// holdCommands(false) when the last one ends (after the actions are
// restored and before the waiting work runs).
void InstallBusyHandling(std::function<void(bool hold)> holdCommands);
void RemoveBusyHandling();

// Runs the work now when the program is idle, else once the running job has
// ended. Work queued twice with the same key runs once.
void RunWhenIdle(int key, std::function<void()> work);
