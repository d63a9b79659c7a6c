#pragma once
// The "Speichern unter" dialog: Qt's file dialog, which says why a name it
// cannot take is refused. Qt's own dialog stays open without a word for a
// name longer than the file system allows.
#include <QFileDialog>

class SaveNameDialog : public QFileDialog {
public:
    SaveNameDialog(QWidget* parent, const QString& caption, const QString& folder);

    void accept() override;
};
