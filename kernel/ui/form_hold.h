#pragma once
// A window whose code waits on a modal dialog, a message or a pop-up is held.
// The design program may send its commands at any time: one that empties,
// replaces or ends the program destroys the list windows (and the pattern
// window) while such a dialog waits. A held window is then only hidden and
// nameless; it is freed once its last hold is let go, after its code has
// come back from the dialog and returned to the event loop, so that code
// never runs on a freed window. The dialog's answer was meant for the
// program that has gone: the code drops it (Gone()).
#include <QDialog>
#include <QPointer>
#include <QWidget>

class FormHold {
public:
    // Holds the top-level window of the widget; nullptr holds no window and
    // only watches the program.
    explicit FormHold(QWidget* widget);
    ~FormHold();
    FormHold(const FormHold&) = delete;
    FormHold& operator=(const FormHold&) = delete;

    // The held window was destroyed while held.
    bool Destroyed() const;
    // The answer is no longer wanted: the window was destroyed, or the
    // program was emptied, replaced or ended since the hold was taken.
    bool Gone() const;

    // For DestroyForm: true when the window is held; it is then marked and
    // freed when its last hold goes.
    static bool DeferDestruction(QWidget* form);

private:
    QPointer<QWidget> form_;
    const QWidget* key_;
    unsigned generation_;
};

// A remote command empties, replaces or ends the program: the answers of the
// dialogs that wait now are dropped.
void NoteProgramReplaced();

// Answers as Esc every dialog of the window that waits: a window that hides
// takes its dialogs out of sight with it, and a modal loop nobody can see
// would hold every other window of the program.
void RejectDialogsOf(QWidget* window);

// Runs the dialog modally while holding the active window (whose code opened
// it) and the window the dialog belongs to. Gives `dropped` in place of the
// dialog's result when the answer is no longer wanted.
int ExecHeld(QDialog& dialog, int dropped = QDialog::Rejected);
