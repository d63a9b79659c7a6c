#pragma once
// Where the program's file dialogs open: Qt would otherwise open them in the
// working folder or the home folder, far from the technician's programs.
#include <QString>

// The folder a file dialog starts in: the named one when it exists, else the
// folder of the last file chosen in a file dialog of this run, else the
// program folder.
QString DialogStartFolder(const QString& named = QString());

// Remembers the folder of a file the user chose in a file dialog.
void RememberDialogFile(const QString& file);
