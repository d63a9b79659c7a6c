#include "pattern/pattern_tool_windows.h"

#include <QApplication>
#include <QWidget>

void HidePatternToolWindows()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Zeichenfunktionen") || w->objectName() == QLatin1String("Farbauswahl"))
            w->hide();
}
