#include "lists/list_forms.h"

#include <QFontMetrics>
#include <QStringList>
#include <algorithm>

#include "kernel/ui/fonts.h"
#include "lists/list_globals.h"

int MaxPartWidth(const std::string& text, int fontIndex)
{
    QFont font;
    SetFont(fontIndex, font);
    const QFontMetrics metrics(font);
    QString all = QString::fromStdString(text);
    if (!all.endsWith('|'))
        all += '|';
    int widest = 0;
    for (const QString& part : all.split('|'))
        widest = std::max(widest, metrics.horizontalAdvance(part));
    return widest;
}

QIcon ListIcon(int index)
{
    return ListWindowIcon ? ListWindowIcon(index) : QIcon();
}
