#include "kernel/ui/lan_dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "kernel/language/language.h"
#include "kernel/ui/dialog_focus.h"
#include "kernel/ui/progress_boxes.h"
#include "kernel/ui/remote_message_hold.h"

namespace {

struct ButtonInfo {
    MsgButton button;
    const char* name;
    const char* caption;  // German, UTF-8
};

// Left to right, as the buttons are laid out.
constexpr ButtonInfo kButtons[] = {
    {MsgButton::Yes, "Yes", "&Ja"},
    {MsgButton::No, "No", "&Nein"},
    {MsgButton::OK, "OK", "OK"},
    {MsgButton::Cancel, "Cancel", "Abbrechen"},
    {MsgButton::Abort, "Abort", "&Abbrechen"},
    {MsgButton::Retry, "Retry", "&Wiederholen"},
    {MsgButton::Ignore, "Ignore", "&Ignorieren"},
    {MsgButton::All, "All", "&Alle"},
    {MsgButton::NoToAll, "NoToAll", "&Alle Nein"},
    {MsgButton::YesToAll, "YesToAll", "A&lle Ja"},
    {MsgButton::Help, "Help", "&Hilfe"},
};

QString Phrase(const char* german)
{
    return QString::fromStdString(TranslatePhrase(german));
}

QString KindCaption(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning: return Phrase("Warnung");
    case MsgKind::Error: return Phrase("Fehler");
    case MsgKind::Information: return Phrase("Information");
    case MsgKind::Confirmation: return Phrase("Best\xC3\xA4tigung");
    case MsgKind::Custom: break;
    }
    return QGuiApplication::applicationDisplayName();
}

bool KindIcon(MsgKind kind, QStyle::StandardPixmap* icon)
{
    switch (kind) {
    case MsgKind::Warning: *icon = QStyle::SP_MessageBoxWarning; return true;
    case MsgKind::Error: *icon = QStyle::SP_MessageBoxCritical; return true;
    case MsgKind::Information: *icon = QStyle::SP_MessageBoxInformation; return true;
    case MsgKind::Confirmation: *icon = QStyle::SP_MessageBoxQuestion; return true;
    case MsgKind::Custom: break;
    }
    return false;
}

// The caption as the button shows it: accelerator marks gone, "&&" as "&".
QString ShownCaption(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                out += caption.at(++i);
            continue;
        }
        out += caption.at(i);
    }
    return out;
}

int MulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

QRect ScreenRect()
{
    if (QScreen* s = QGuiApplication::primaryScreen())
        return s->geometry();
    return QRect(0, 0, 1024, 768);
}

}  // namespace

TMessageForm::TMessageForm(const QString& text, MsgKind kind, MsgButtons buttons)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("MessageForm"));
    setFont(QApplication::font());
    setWindowTitle(KindCaption(kind));

    // A dialog no button can end would hold the program for ever.
    if (DefaultButtonResult(buttons) == mrNone && EscButtonResult(buttons) == mrNone) {
        bool any = false;
        for (const ButtonInfo& b : kButtons)
            any = any || (b.button != MsgButton::Help && buttons.has(b.button));
        if (!any)
            buttons.add(MsgButton::OK);
    }
    defaultResult_ = DefaultButtonResult(buttons);
    escapeResult_ = EscButtonResult(buttons);

    // Spacing in dialog units: a quarter of the average character width
    // across, an eighth of the line height down.
    const QFontMetrics fm(font());
    const int unitX = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    const int unitY = fm.height();
    const int horzMargin = MulDiv(8, unitX, 4);
    const int vertMargin = MulDiv(8, unitY, 8);
    const int horzSpacing = MulDiv(10, unitX, 4);
    const int vertSpacing = MulDiv(10, unitY, 8);
    const int buttonHeight = MulDiv(14, unitY, 8);
    const int buttonSpacing = MulDiv(4, unitX, 4);
    int buttonWidth = MulDiv(50, unitX, 4);

    QPushButton* focus = nullptr;
    for (const ButtonInfo& info : kButtons) {
        if (!buttons.has(info.button))
            continue;
        const QString caption = Phrase(info.caption);
        buttonWidth = std::max(buttonWidth, fm.horizontalAdvance(ShownCaption(caption)) + 8);
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(info.name));
        button->setAutoDefault(true);
        const int result = MsgButtonResult(info.button);
        // Help has no help system behind it: the dialog stays.
        if (result != mrNone)
            connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        if (result != mrNone && result == defaultResult_) {
            button->setDefault(true);
            focus = button;
        }
        buttons_.append(button);
    }
    if (!focus && !buttons_.isEmpty())
        focus = buttons_.first();

    const QRect screen = ScreenRect();
    const QRect textRect = fm.boundingRect(QRect(0, 0, screen.width() / 2, 0),
                                           Qt::TextWordWrap | Qt::TextExpandTabs, text);
    int iconTextWidth = textRect.width();
    int iconTextHeight = textRect.height();
    QStyle::StandardPixmap iconKind;
    if (KindIcon(kind, &iconKind)) {
        icon_ = new QLabel(this);
        icon_->setObjectName(QStringLiteral("Image"));
        icon_->setPixmap(style()->standardIcon(iconKind, nullptr, this).pixmap(32, 32));
        icon_->setGeometry(horzMargin, vertMargin, 32, 32);
        iconTextWidth += 32 + horzSpacing;
        iconTextHeight = std::max(32, iconTextHeight);
    }
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setText(text);
    message_->setGeometry(horzMargin + (icon_ ? 32 + horzSpacing : 0), vertMargin, textRect.width(),
                          textRect.height());

    const int count = static_cast<int>(buttons_.size());
    const int groupWidth = count * buttonWidth + buttonSpacing * std::max(0, count - 1);
    const int clientWidth = std::max(iconTextWidth, groupWidth) + horzMargin * 2;
    const int clientHeight = iconTextHeight + buttonHeight + vertSpacing + vertMargin * 2;
    setFixedSize(clientWidth, clientHeight);
    int x = (clientWidth - groupWidth) / 2;
    for (QPushButton* b : buttons_) {
        b->setGeometry(x, iconTextHeight + vertMargin + vertSpacing, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
    }
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
    PlaceAt(-1, -1);
}

QPushButton* TMessageForm::Button(MsgButton b) const
{
    for (const ButtonInfo& info : kButtons)
        if (info.button == b)
            for (QPushButton* p : buttons_)
                if (p->objectName() == QLatin1String(info.name))
                    return p;
    return nullptr;
}

void TMessageForm::PlaceAt(int x, int y)
{
    placeX_ = x;
    placeY_ = y;
    const QRect screen = ScreenRect();
    const QSize outer = frameGeometry().size();
    const int left = x >= 0 ? x : screen.x() + (screen.width() - outer.width()) / 2;
    const int top = y >= 0 ? y : screen.y() + (screen.height() - outer.height()) / 2;
    move(left, top);
}

void TMessageForm::showEvent(QShowEvent* event)
{
    PlaceAt(placeX_, placeY_);
    QDialog::showEvent(event);
}

void TMessageForm::reject()
{
    if (escapeResult_ != mrNone)
        done(escapeResult_);
}

namespace LanDialogs {

std::unique_ptr<TMessageForm> CreateMessageDialog(const QString& text, MsgKind kind, MsgButtons buttons)
{
    return std::make_unique<TMessageForm>(text, kind, buttons);
}

int MessageDlg(const QString& text, MsgKind kind, MsgButtons buttons, long helpCtx)
{
    return MessageDlgPos(text, kind, buttons, helpCtx, -1, -1);
}

void ShowMessage(const QString& text)
{
    MessageDlg(text, MsgKind::Custom, MsgButtons{MsgButton::OK});
}

int MessageDlgPos(const QString& text, MsgKind kind, MsgButtons buttons, long, int x, int y)
{
    if (int result = 0; HoldRemoteMessage(text, kind, buttons, result))
        return result;
    // No progress box may stand over the message, and the window manager
    // keeps it above the window the person worked in and gives it the focus.
    ProgressBoxes::SetAside();
    auto dialog = CreateMessageDialog(text, kind, buttons);
    dialog->PlaceAt(x, y);
    if (QWindow* parent = ProgressBoxes::MessageParent()) {
        dialog->winId();
        if (QWindow* own = dialog->windowHandle(); own && own != parent)
            own->setTransientParent(parent);
    }
    // A message the program's replacement made moot is answered as Esc.
    return ExecReturningFocus(*dialog, dialog->EscapeResult());
}

}  // namespace LanDialogs
