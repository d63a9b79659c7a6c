#include "kernel/ui/file_dialog_folder.h"

#include <QDir>
#include <QFileInfo>

#include "kernel/model/globals.h"

namespace {

QString& LastFolder()
{
    static QString folder;
    return folder;
}

bool IsFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

}  // namespace

QString DialogStartFolder(const QString& named)
{
    if (IsFolder(named))
        return named;
    if (IsFolder(LastFolder()))
        return LastFolder();
    return QString::fromStdString(ProgrammPfad);
}

void RememberDialogFile(const QString& file)
{
    if (!file.isEmpty())
        LastFolder() = QFileInfo(file).absolutePath();
}
