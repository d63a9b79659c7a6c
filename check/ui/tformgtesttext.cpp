#include "check/ui/tformgtesttext.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "kernel/ui/forms.h"
#include "kernel/ui/translate_form.h"

TFormGTestText* GTestText = nullptr;

TFormGTestText::TFormGTestText(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName("GTestText");
    setWindowTitle("Fehler und Meldungen");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName("Memo");
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(Memo);
    resize(460, 260);
    TranslateForm(this);
    RegisterForm(this, FormRole::Other);
}

void TFormGTestText::AddLine(const QString& line)
{
    Memo->appendPlainText(line);
}

void TFormGTestText::Clear()
{
    Memo->clear();
}

QStringList TFormGTestText::Lines() const
{
    return Memo->toPlainText().split('\n');
}

TFormGTestText::~TFormGTestText()
{
    if (GTestText == this)
        GTestText = nullptr;
}
