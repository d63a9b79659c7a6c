#include "kernel/ui/file_dialog_start.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>
#include <QFileInfo>

#include "kernel/model/globals.h"

namespace {

constexpr int kMinimumWidth = 760;

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

void FitFileDialogColumns(QFileDialog& dialog)
{
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!details)
        return;
    QHeaderView* header = details->header();
    // The name takes what is left; the others follow their texts as the
    // folder's entries come in.
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    // Room for the name beside the wider columns.
    dialog.resize(std::max(dialog.width(), kMinimumWidth), dialog.height());
}
