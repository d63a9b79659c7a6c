#include "lists/form_text_eingabe.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/fonts.h"
#include "kernel/ui/shell_values.h"
#include "kernel/ui/translate_form.h"
#include "lists/core/list_tools.h"
#include "lists/dialog_tools.h"

TFormTextEingabe* FormTextEingabe = nullptr;

TFormTextEingabe::TFormTextEingabe(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("FormTextEingabe");
    setWindowTitle("Texteingabe");
    PanelHintergrund = new QWidget(this);
    PanelHintergrund->setObjectName("PanelHintergrund");
    RichEditText = new QPlainTextEdit(PanelHintergrund);
    RichEditText->setObjectName("RichEditText");
    RichEditText->setTabChangesFocus(true);
    RichEditText->installEventFilter(this);
    QFont font = RichEditText->font();
    SetFont(4, font);
    RichEditText->setFont(font);
    RichEditText->setFixedHeight(QFontMetrics(font).height() * 3);
    ButtonOK = new QPushButton("&OK", PanelHintergrund);
    ButtonOK->setObjectName("ButtonOK");
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* inner = new QVBoxLayout(PanelHintergrund);
    inner->addWidget(RichEditText);
    inner->addWidget(ButtonOK);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PanelHintergrund);
    resize(300, sizeHint().height());
    TranslateForm(this);
    MoveOffScreen(*this);
}

std::optional<std::string> TFormTextEingabe::Edit(const std::string& text, QPoint at)
{
    RichEditText->setPlainText(QString::fromStdString(text));
    PlacePoint = at;
    Bounds = QSize(MainClientWidth ? MainClientWidth : 1024, MainClientHeight ? MainClientHeight : 768);
    const bool ok = ExecReturningFocus(*this) == QDialog::Accepted;
    if (!ok)
        return std::nullopt;
    return Text();
}

std::string TFormTextEingabe::Text() const
{
    // The comment is one line: a line break typed into it counts as a blank.
    return TrimRight(RichEditText->toPlainText().replace(QChar(0x2029), QChar(' ')).replace(QChar('\n'), QChar(' ')).toStdString());
}

void TFormTextEingabe::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QScreen* screen = QGuiApplication::screenAt(PlacePoint);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const int right = screen ? screen->geometry().right() + 1 : 1024;
    // The whole frame on the monitor, not only the text field's window.
    PlaceFrameWithin(*this, PlacePoint, QRect(0, 0, right, Bounds.height()));
    RichEditText->setFocus();
    QTextCursor cursor = RichEditText->textCursor();
    cursor.movePosition(QTextCursor::End);
    RichEditText->setTextCursor(cursor);
}

// A list cell holds one line, so a line break has nowhere to go: Return
// confirms, as "&OK" does, wherever the focus is.
bool TFormTextEingabe::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RichEditText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormTextEingabe::done(int result)
{
    RichEditText->setPlainText(QString::fromStdString(Text()));
    QDialog::done(result);
    MoveOffScreen(*this);
}
