#include "textedit/text_file_dialog.h"

#include <QFileDialog>

#include "kernel/ui/form_hold.h"

FileDialogAnswer AskFileWithDialog(QWidget* parent, const FileDialogRequest& request)
{
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    if (request.index >= 1 && request.index <= request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.index - 1));
    dialog.setDefaultSuffix(request.suffix);
    // Without QDir::CaseSensitive in the filter the patterns ignore case.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (ExecHeld(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().first(), static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())) + 1};
}
