#pragma once
// The program's message dialogs: the title and the button captions pass
// through the phrase lookup; the text comes translated from the caller.
#include <QDialog>
#include <QList>
#include <QString>
#include <memory>

#include "kernel/dispatch/kernel_host.h"

class QLabel;
class QPushButton;

// One message dialog, laid out as the program's message boxes always were:
// icon left of the word-wrapped text, buttons of one width centred below.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    TMessageForm(const QString& text, MsgKind kind, MsgButtons buttons);

    // The button of a kind (nullptr when the dialog has none), and all
    // buttons left to right.
    QPushButton* Button(MsgButton b) const;
    const QList<QPushButton*>& Buttons() const { return buttons_; }
    QLabel* MessageLabel() const { return message_; }
    // nullptr for the custom kind.
    QLabel* IconLabel() const { return icon_; }
    // The results of Return's and Esc's buttons (0 when none).
    int DefaultResult() const { return defaultResult_; }
    int EscapeResult() const { return escapeResult_; }

    // Centred on the primary screen; a non-negative x or y takes its place.
    // Kept for the show, when the window frame is known.
    void PlaceAt(int x, int y);

public slots:
    // Esc and the title-bar close: the Esc button's result, or nothing.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QList<QPushButton*> buttons_;
    int placeX_ = -1;
    int placeY_ = -1;
    QLabel* message_ = nullptr;
    QLabel* icon_ = nullptr;
    int defaultResult_ = 0;
    int escapeResult_ = 0;
};

namespace LanDialogs {

// Builds the dialog without showing it.
std::unique_ptr<TMessageForm> CreateMessageDialog(const QString& text, MsgKind kind, MsgButtons buttons);
// Shows the dialog modally, centred; the modal result of the pressed button.
// The help context is accepted for the callers' sake: there is no help system.
int MessageDlg(const QString& text, MsgKind kind, MsgButtons buttons, long helpCtx = 0);
// A custom-kind dialog with the OK button only.
void ShowMessage(const QString& text);
// As MessageDlg, with the top-left corner at x, y; a negative value keeps the
// centre on its axis.
int MessageDlgPos(const QString& text, MsgKind kind, MsgButtons buttons, long helpCtx, int x, int y);

}  // namespace LanDialogs
