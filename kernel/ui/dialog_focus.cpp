#include "kernel/ui/dialog_focus.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

#include "kernel/ui/form_hold.h"
#include "kernel/ui/key_return.h"
#include "kernel/ui/progress_boxes.h"

int ExecReturningFocus(QDialog& dialog, int dropped)
{
    const QPointer<QWidget> opener = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const int result = ExecHeld(dialog, dropped);
    if (opener != &dialog)
        ReturnFocusTo(opener, focus);
    return result;
}

void ReturnFocusTo(QWidget* window, QWidget* focus)
{
    if (!window || !window->isVisible())
        return;
    KeyReturn::HandBack(window, focus);
}

KeysStayWithWorkWindow::KeysStayWithWorkWindow() : window_(ProgressBoxes::WorkWindow())
{
    if (window_)
        focus_ = window_->focusWidget();
}

KeysStayWithWorkWindow::~KeysStayWithWorkWindow()
{
    // A modal dialog the job left open keeps the keys. A box still on the
    // screen (its hide waits for the window manager) hands them on itself
    // when it goes: asked for now, the window would lose them to the
    // manager's choice then.
    if (window_ && !QApplication::activeModalWidget() && !ProgressBoxes::AnyShown())
        ReturnFocusTo(window_, focus_);
}
