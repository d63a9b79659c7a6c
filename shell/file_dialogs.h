#pragma once
// The system's dialog filter strings ("description|pattern;pattern|...") as
// Qt's name filters ("description (pattern pattern)").
#include <QString>
#include <QStringList>

QStringList QtNameFilters(const QString& filter);
