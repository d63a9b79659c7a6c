#include "shell/file_dialogs.h"

QStringList QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ');
        if (!parts[i].isEmpty() || !patterns.isEmpty())
            out << parts[i] + " (" + patterns + ")";
    }
    return out;
}
