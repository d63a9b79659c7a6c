#include "pattern/pattern_tool_windows.h"

#include <QApplication>
#include <QWidget>

#include "kernel/ui/form_hold.h"
#include "pattern/farbauswahl.h"
#include "pattern/zeichenfunktionen.h"

void HidePatternToolWindows()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("Zeichenfunktionen")) {
            // A tool option pop-up that waits goes with the palette, as by Esc.
            RejectDialogsOf(w);
            // The palette also gives up the focus it may hold.
            if (auto* palette = qobject_cast<TZeichenfunktionen*>(w))
                palette->F_Visible(0);
            else
                w->hide();
        } else if (w->objectName() == QLatin1String("Farbauswahl")) {
            if (auto* colours = qobject_cast<TFarbauswahl*>(w))
                colours->F_Visible(0);
            else
                w->hide();
        }
    }
}
