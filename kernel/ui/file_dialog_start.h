#pragma once
// How the program's file dialogs open: where (Qt would otherwise open them in
// the working folder or the home folder, far from the technician's
// programs) and with their columns readable.
#include <QString>

class QFileDialog;

// The folder a file dialog starts in: the named one when it exists, else the
// folder of the last file chosen in a file dialog of this run, else the
// program folder.
QString DialogStartFolder(const QString& named = QString());

// Remembers the folder of a file the user chose in a file dialog.
void RememberDialogFile(const QString& file);

// Makes the dialog's detail columns (size, type, date) as wide as their
// texts, which in German ("Verzeichnis", "Änderungsdatum") are wider than
// Qt's defaults. The dialog must not use the platform's own.
void FitFileDialogColumns(QFileDialog& dialog);
