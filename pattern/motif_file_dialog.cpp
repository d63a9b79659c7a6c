#include "pattern/motif_file_dialog.h"

#include <QFileDialog>

#include "kernel/ui/file_dialog_start.h"
#include "kernel/ui/form_hold.h"

namespace {

MotifFileChooser& Chooser()
{
    static MotifFileChooser chooser;
    return chooser;
}

}  // namespace

QString ChooseMotifFile(QWidget* parent, bool save, const QString& start)
{
    if (Chooser())
        return Chooser()(parent, save, start);
    QFileDialog dialog(parent, QString(), DialogStartFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    FitFileDialogColumns(dialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({"PCX (*.PCX *.pcx)", "BMP (*.BMP *.bmp)"});
    dialog.setDefaultSuffix("PCX");
    if (!start.isEmpty())
        dialog.selectFile(start);
    if (ExecHeld(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    RememberDialogFile(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

void SetMotifFileChooser(MotifFileChooser chooser)
{
    Chooser() = std::move(chooser);
}
