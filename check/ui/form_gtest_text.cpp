#include "check/ui/form_gtest_text.h"

#include "kernel/language/language.h"
#include "kernel/services/services.h"
#include "kernel/ui/translate_form.h"
#include "platform/codepage.h"

TFormGTestText* GTestText = nullptr;

TFormGTestText::TFormGTestText(QWidget* parent) : TFormTextEdit(parent, "GTestText", FormRole::Other)
{
    setObjectName("GTestText");
    setWindowFlags(Qt::Tool);
    setWindowTitle(QString::fromStdString(F_TRANS("Fehler und Meldungen")));
    SetReadOnly(true);
    closeOnEsc = true;
    if (F_ReadIni("Windows", "GTestText", "").empty())
        resize(460, 260);
    TranslateForm(this);
}

void TFormGTestText::AddLine(const QString& line)
{
    T_MyStringList& lines = Lines();
    const std::string text = Utf8ToCp1252(line.toStdString());
    // The view's append breaks long lines but makes no empty one.
    if (text.empty())
        lines.Add(text);
    else
        AppendText(text);
    // Nobody saves this text: no "changed" in the status.
    lines.SetModified(false);
    SetTextCursor(1, lines.Count() - 1);
    ScrollCursorIntoView();
}

void TFormGTestText::Clear()
{
    T_MyStringList& lines = Lines();
    lines.Clear();
    lines.SetModified(false);
    SetTextCursor(1, 0);
}

QStringList TFormGTestText::ShownLines()
{
    QStringList out;
    for (const std::string& l : Lines().Lines())
        out << QString::fromStdString(Cp1252ToUtf8(l));
    return out;
}

TFormGTestText::~TFormGTestText()
{
    if (GTestText == this)
        GTestText = nullptr;
}
