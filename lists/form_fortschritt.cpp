#include "lists/form_fortschritt.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "kernel/ui/hide_when_shown.h"
#include "kernel/ui/progress_boxes.h"
#include "kernel/ui/translate_form.h"

TFormFortschritt* FormFortschritt = nullptr;

TFormFortschritt::TFormFortschritt(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName("FormFortschritt");
    // Under X the role tells the window from a message.
    setWindowRole(objectName());
    setWindowTitle("Fortschritt");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setMinimumWidth(300);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    TranslateForm(this);
    ProgressBoxes::Register(this);
    hideWhenShown_ = new HideWhenShown(this, [this] { QWidget::setVisible(false); });
    connect(ProgressBar1, &QProgressBar::valueChanged, this, [this] {
        if (ProgressBoxes::IsSetAside(this))
            show();
    });
}

void TFormFortschritt::setVisible(bool visible)
{
    ProgressBoxes::Forget(this);
    if (visible)
        hideWhenShown_->Cancel();
    else if (hideWhenShown_->Defer())
        return;
    QWidget::setVisible(visible);
}
