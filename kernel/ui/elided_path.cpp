#include "kernel/ui/elided_path.h"

#include <QFontMetrics>
#include <QRegularExpression>

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// The drive or root the path begins with: "C:\", "\\", "/" or nothing.
QString RootOf(const QString& path)
{
    static const QRegularExpression root(QStringLiteral(R"(^([A-Za-z]:[\\/]|[\\/]+))"));
    return root.match(path).captured(0);
}

}  // namespace

QString ElidedPath(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const qsizetype lastSeparator = [&] {
        for (qsizetype i = path.size() - 1; i >= 0; --i)
            if (IsSeparator(path.at(i)))
                return i;
        return qsizetype(-1);
    }();
    if (lastSeparator < 0)
        return metrics.elidedText(path, Qt::ElideMiddle, width);

    const QString root = RootOf(path);
    const QChar separator = path.at(lastSeparator);
    // The tail from a separator on, longest first, down to the file name.
    qsizetype from = root.size();
    for (qsizetype i = root.size(); i <= lastSeparator; ++i) {
        if (!IsSeparator(path.at(i)))
            continue;
        from = i;
        const QString candidate = root + kEllipsis + path.mid(from);
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    const QString name = path.mid(lastSeparator + 1);
    const QString bare = kEllipsis + separator + name;
    if (metrics.horizontalAdvance(bare) <= width)
        return bare;
    return metrics.elidedText(bare, Qt::ElideMiddle, width);
}
