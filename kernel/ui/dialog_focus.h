#pragma once
// Modal dialogs hand the keys back to the window that opened them.
#include <QDialog>
#include <QPointer>
#include <QWidget>

// Runs the dialog modally over the active window and, once it is closed,
// makes that window the active one again with the focus where it was. A
// window manager gives the activation to the dialog's parent (the main
// window for the shared dialogs), so without this the next keys would go
// there instead of to the window the person was working in. An answer that
// is no longer wanted (see ExecHeld) gives `dropped`.
int ExecReturningFocus(QDialog& dialog, int dropped = QDialog::Rejected);

// Makes the window the active one again, with the focus on the given widget
// when that lies in it, also when the window manager makes its own choice a
// moment later. For modeless dialogs: when they close, the window manager
// may hand the activation to their parent's parent.
void ReturnFocusTo(QWidget* window, QWidget* focus);

// Keeps the keys with the window the person works in across a long job
// (compile, load, save): its progress box and messages take the activation
// for a while, and when they go the window manager hands it to their parent,
// the main window. Gives the activation back on leaving the scope.
class KeysStayWithWorkWindow {
public:
    KeysStayWithWorkWindow();
    ~KeysStayWithWorkWindow();
    KeysStayWithWorkWindow(const KeysStayWithWorkWindow&) = delete;
    KeysStayWithWorkWindow& operator=(const KeysStayWithWorkWindow&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};
