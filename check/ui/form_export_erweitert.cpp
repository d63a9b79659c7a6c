#include "check/ui/form_export_erweitert.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "check/export_options.h"
#include "kernel/ui/fonts.h"
#include "kernel/ui/translate_form.h"

TFormExportErweitert* FormExportErweitert = nullptr;

namespace {
struct Option {
    QCheckBox* TFormExportErweitert::*box;
    uint8_t* value;
};

const Option kOptions[] = {
    {&TFormExportErweitert::CheckBoxFfTyp, &ExportFfTypTrans},
    {&TFormExportErweitert::CheckBoxNListeWs, &ExportNListeWs},
    {&TFormExportErweitert::CheckBoxSListeWs, &ExportSListeWs},
    {&TFormExportErweitert::CheckBoxGauge, &ExportGgChange},
};
}  // namespace

TFormExportErweitert::TFormExportErweitert(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("FormExportErweitert");
    setWindowTitle("Exporteinstellungen");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* bevel = new QFrame(this);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::StyledPanel);
    auto* boxes = new QVBoxLayout(bevel);
    auto box = [&](const char* name, const char* caption) {
        auto* b = new QCheckBox(QString::fromUtf8(caption), bevel);
        b->setObjectName(name);
        SetFont(4, *b);
        boxes->addWidget(b);
        return b;
    };
    CheckBoxFfTyp = box("CheckBoxFfTyp", "&Fadenführer-Typen anpassen");
    CheckBoxNListeWs = box("CheckBoxNListeWs", "&N-Liste Wahlschalter 2 Durchläufe");
    CheckBoxSListeWs = box("CheckBoxSListeWs", "&S-Liste Wahlschalter 3 Durchläufe");
    CheckBoxGauge = box("CheckBoxGauge", "Fein&heit anpassen");
    layout->addWidget(bevel);

    auto* buttons = new QHBoxLayout;
    ButtonOk = new QPushButton("&OK", this);
    ButtonOk->setObjectName("ButtonOk");
    ButtonOk->setDefault(true);
    ButtonCancel = new QPushButton("Ab&brechen", this);
    ButtonCancel->setObjectName("ButtonCancel");
    for (QPushButton* b : {ButtonOk, ButtonCancel}) {
        SetFont(4, *b);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormExportErweitert::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    TranslateForm(this);
}

void TFormExportErweitert::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    for (const Option& o : kOptions)
        (this->*o.box)->setChecked(*o.value != 0);
}

void TFormExportErweitert::ButtonOkClick()
{
    for (const Option& o : kOptions)
        *o.value = (this->*o.box)->isChecked() ? 1 : 0;
    accept();
}

TFormExportErweitert::~TFormExportErweitert()
{
    if (FormExportErweitert == this)
        FormExportErweitert = nullptr;
}
