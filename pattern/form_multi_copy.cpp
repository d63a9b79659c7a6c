#include "pattern/form_multi_copy.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "kernel/dispatch/kernel_host.h"
#include "kernel/language/language.h"
#include "kernel/ui/forms.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/translate_form.h"
#include "pattern/core/multi_copy_value.h"

namespace {

constexpr uint8_t kMultiCopyTool = 28;

}  // namespace

TFormMulticopy::TFormMulticopy(QWidget* parent) : QDialog(parent)
{
    setObjectName("FormMulticopy");
    setWindowTitle("Multiples Kopieren ");
    Label1 = new QLabel("Anzahl Wiederholungen", this);
    Label1->setObjectName("Label1");
    MaskEdit1 = new QLineEdit("1", this);
    MaskEdit1->setObjectName("MaskEdit1");
    MaskEdit1->setMaxLength(2);
    MaskEdit1->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9 ]{0,2}"), MaskEdit1));
    OK_Button = new QPushButton("OK", this);
    OK_Button->setObjectName("OK_Button");
    OK_Button->setDefault(true);
    Cancel_Button = new QPushButton("Abbrechen", this);
    Cancel_Button->setObjectName("Cancel_Button");
    // Return always means OK, whichever button last had the focus.
    Cancel_Button->setAutoDefault(false);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(MaskEdit1, 0, 1);
    grid->addWidget(OK_Button, 1, 0);
    grid->addWidget(Cancel_Button, 1, 1);
    connect(OK_Button, &QPushButton::clicked, this, &TFormMulticopy::OkClick);
    connect(Cancel_Button, &QPushButton::clicked, this, &TFormMulticopy::reject);
    TranslateForm(this);
}

void TFormMulticopy::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    MaskEdit1->setFocus();
    MaskEdit1->selectAll();
}

void TFormMulticopy::OkClick()
{
    const std::optional<int> count = MultiCopyValue(MaskEdit1->text().toStdString());
    if (!count) {
        kernelHost().messageDlg(F_TRANS("Ung\u00fcltiger Wert"), MsgKind::Custom, {MsgButton::OK});
        MaskEdit1->setFocus();
        return;
    }
    done(*count);
}

void TFormMulticopy::reject()
{
    done(kCancelled);
}

int MultiCopyCount(uint8_t tool)
{
    if (tool != kMultiCopyTool)
        return 1;
    auto* form = qobject_cast<TFormMulticopy*>(FindForm("FormMulticopy"));
    if (!form)
        form = new TFormMulticopy(MainForm);
    const int result = form->exec();
    return result < 2 ? 1 : result;
}
