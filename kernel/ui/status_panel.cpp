#include "kernel/ui/status_panel.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include "kernel/ui/mouse_pictures.h"

void P_StatusPanelZeichnen(QPainter& painter, const QString& text, const QRect& rect)
{
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, QGuiApplication::palette().color(QPalette::Button));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics fm = painter.fontMetrics();
    const int baseline = rect.top() + (rect.height() - fm.height()) / 2 + fm.ascent();
    int x = rect.left() + 2;
    const auto drawPart = [&](const QString& part) {
        painter.drawText(x, baseline, part);
        x += fm.horizontalAdvance(part);
    };
    QString rest = text;
    for (int picture : {0, 1, 0}) {
        const QString& marker = picture == 0 ? LeftButtonMarker : RightButtonMarker;
        const int at = rest.indexOf(marker);
        if (at < 0)
            continue;
        drawPart(rest.left(at));
        const QPixmap pixmap = HintMousePicture(picture);
        painter.drawPixmap(x, rect.top() + (rect.height() - pixmap.height()) / 2, pixmap);
        x += pixmap.width();
        rest = rest.mid(at + marker.size());
    }
    drawPart(rest);
    painter.restore();
}
