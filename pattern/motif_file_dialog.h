#pragma once
// The file dialogs of "Einfügen aus" and "Kopieren nach": PCX or BMP motif
// files. Tests put a chooser of their own in place of the dialogs.
#include <QString>
#include <functional>

class QWidget;

// save: the save dialog; start: the file name last used. Empty when the
// dialog was cancelled.
using MotifFileChooser = std::function<QString(QWidget* parent, bool save, const QString& start)>;

QString ChooseMotifFile(QWidget* parent, bool save, const QString& start);
// Replaces the dialogs (nullptr: the dialogs again).
void SetMotifFileChooser(MotifFileChooser chooser);
