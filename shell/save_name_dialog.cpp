#include "shell/save_name_dialog.h"

#include <QFile>

#include "kernel/services/services.h"
#include "kernel/tkf/programsave.h"
#include "platform/safe_file.h"

SaveNameDialog::SaveNameDialog(QWidget* parent, const QString& caption, const QString& folder)
    : QFileDialog(parent, caption, folder)
{
    setAcceptMode(QFileDialog::AcceptSave);
}

void SaveNameDialog::accept()
{
    const QStringList files = selectedFiles();
    // Bytes count, not letters: a Cyrillic letter takes two of the 255.
    if (!files.isEmpty()) {
        const std::string path = QFile::encodeName(files.first()).toStdString();
        if (!SafeFileNameFits(path)) {
            P_WarningBox(NameTooLongMessage(path));
            return;
        }
    }
    QFileDialog::accept();
}
