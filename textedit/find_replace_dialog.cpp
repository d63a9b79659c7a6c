#include "textedit/find_replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "kernel/language/language.h"
#include "platform/codepage.h"

namespace {
QString Tr(const char* text)
{
    return QString::fromStdString(F_TRANS(text));
}
} // namespace

FindReplaceDialog::FindReplaceDialog(Kind kind, QWidget* parent) : QDialog(parent), kind_(kind)
{
    const bool replace = kind == Kind::Replace;
    setObjectName(replace ? "ReplaceDialog" : "FindDialog");
    setWindowTitle(Tr(replace ? "Ersetzen" : "Suchen"));
    setModal(false);

    auto* fields = new QGridLayout;
    EditFind = new QLineEdit(this);
    EditFind->setObjectName("EditFind");
    fields->addWidget(new QLabel(Tr("Suchen nach:"), this), 0, 0);
    fields->addWidget(EditFind, 0, 1);
    if (replace) {
        EditReplace = new QLineEdit(this);
        EditReplace->setObjectName("EditReplace");
        fields->addWidget(new QLabel(Tr("Ersetzen durch:"), this), 1, 0);
        fields->addWidget(EditReplace, 1, 1);
    }
    CheckMatchCase = new QCheckBox(Tr("Groß-/Kleinschreibung beachten"), this);
    CheckMatchCase->setObjectName("CheckMatchCase");
    CheckMatchCase->setChecked(true);
    fields->addWidget(CheckMatchCase, 2, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    auto button = [this, buttons](const char* name, const char* caption) {
        auto* b = new QPushButton(Tr(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    ButtonFindNext = button("ButtonFindNext", "Weitersuchen");
    ButtonFindNext->setDefault(true);
    connect(ButtonFindNext, &QPushButton::clicked, this, &FindReplaceDialog::findNext);
    if (replace) {
        ButtonReplace = button("ButtonReplace", "Ersetzen");
        ButtonReplaceAll = button("ButtonReplaceAll", "Alle ersetzen");
        connect(ButtonReplace, &QPushButton::clicked, this, &FindReplaceDialog::replaceOne);
        connect(ButtonReplaceAll, &QPushButton::clicked, this, &FindReplaceDialog::replaceAll);
    }
    ButtonCancel = button("ButtonCancel", "Abbrechen");
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
}

std::string FindReplaceDialog::FindText() const
{
    return Utf8ToCp1252(EditFind->text().toStdString());
}

std::string FindReplaceDialog::ReplaceText() const
{
    return EditReplace ? Utf8ToCp1252(EditReplace->text().toStdString()) : std::string();
}

bool FindReplaceDialog::MatchCase() const
{
    return CheckMatchCase->isChecked();
}

void FindReplaceDialog::SetFindText(const QString& text)
{
    EditFind->setText(text);
}

void FindReplaceDialog::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit closed();
}
