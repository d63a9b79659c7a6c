#include "kernel/ui/dialog_focus.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QWindow>

int ExecReturningFocus(QDialog& dialog)
{
    const QPointer<QWidget> opener = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const int result = dialog.exec();
    if (opener != &dialog)
        ReturnFocusTo(opener, focus);
    return result;
}

void ReturnFocusTo(QWidget* window, QWidget* focus)
{
    if (!window || !window->isVisible())
        return;
    window->raise();
    // Asked of the window itself: Qt counts a window whose transient child
    // has the focus as active already.
    if (QWindow* handle = window->windowHandle())
        handle->requestActivate();
    if (focus && focus->window() == window)
        focus->setFocus(Qt::ActiveWindowFocusReason);
}
