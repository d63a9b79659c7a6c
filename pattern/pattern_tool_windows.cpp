#include "pattern/pattern_tool_windows.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include "kernel/ui/form_hold.h"
#include "pattern/farbauswahl.h"
#include "pattern/zeichenfunktionen.h"

namespace {

template <class F>
void ForEachToolWindow(F f)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Zeichenfunktionen") || w->objectName() == QLatin1String("Farbauswahl"))
            f(w);
}

}  // namespace

void HidePatternToolWindows()
{
    ForEachToolWindow([](QWidget* w) {
        // A tool option pop-up that waits goes with the palette, as by Esc.
        RejectDialogsOf(w);
        // The palette also gives up the focus it may hold.
        if (auto* palette = qobject_cast<TZeichenfunktionen*>(w))
            palette->F_Visible(0);
        else if (auto* colours = qobject_cast<TFarbauswahl*>(w))
            colours->F_Visible(0);
        else
            w->hide();
    });
}

void KeepToolWindowWith(QWidget* tool, QWidget* owner)
{
    if (!tool || !owner)
        return;
    tool->winId();
    owner->winId();
    QWindow* handle = tool->windowHandle();
    QWindow* ownerHandle = owner->windowHandle();
    if (!handle || !ownerHandle || handle->transientParent() == ownerHandle)
        return;
    handle->setTransientParent(ownerHandle);
    // The window manager reads whom a window belongs to when it is mapped.
    if (tool->isVisible()) {
        tool->hide();
        tool->show();
    }
}

void RaisePatternToolWindows()
{
    ForEachToolWindow([](QWidget* w) {
        if (w->isVisible())
            w->raise();
    });
}
