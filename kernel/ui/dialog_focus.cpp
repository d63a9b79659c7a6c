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
    if (opener && opener != &dialog && opener->isVisible()) {
        opener->raise();
        // Asked of the window itself: Qt counts a window whose transient
        // child has the focus as active already.
        if (QWindow* window = opener->windowHandle())
            window->requestActivate();
        if (focus && focus->window() == opener)
            focus->setFocus(Qt::ActiveWindowFocusReason);
    }
    return result;
}
