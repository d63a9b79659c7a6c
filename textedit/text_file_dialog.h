#pragma once
// The open and save dialogs of the text editors, behind a question and an
// answer so that tests can read what is asked and answer it.
#include <QString>
#include <QStringList>

class QWidget;

struct FileDialogRequest {
    bool save = false;
    QString title;
    QString folder;
    QStringList filters;
    // 1-based, into filters.
    int index = 1;
    // The default suffix, without its dot.
    QString suffix;
};

struct FileDialogAnswer {
    // Empty: cancelled.
    QString path;
    int index = 1;
};

// The Qt file dialog: a save confirms an overwrite, an open needs an
// existing file; patterns match in any letter case.
FileDialogAnswer AskFileWithDialog(QWidget* parent, const FileDialogRequest& request);
