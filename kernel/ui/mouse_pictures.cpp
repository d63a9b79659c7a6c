#include "kernel/ui/mouse_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <optional>

namespace {

std::optional<QList<QPixmap>>& Pictures()
{
    static std::optional<QList<QPixmap>> pictures;
    return pictures;
}

QPixmap Mouse(bool leftPressed)
{
    QPixmap pixmap(MousePictureSize, MousePictureSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(3.5, 1.5, 9, 13);
    QPainterPath outline;
    outline.addRoundedRect(body, 4.5, 4.5);
    p.fillPath(outline, QColor(245, 245, 245));
    // The pressed button: the upper half of its side, down to the button line.
    const QRectF button = leftPressed ? QRectF(3.5, 1.5, 4.5, 5.5) : QRectF(8, 1.5, 4.5, 5.5);
    QPainterPath pressed;
    pressed.addRect(button);
    p.fillPath(outline.intersected(pressed), QColor(30, 30, 110));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawPath(outline);
    p.drawLine(QPointF(3.5, 7), QPointF(12.5, 7));
    p.drawLine(QPointF(8, 1.5), QPointF(8, 7));
    return pixmap;
}

}  // namespace

QList<QPixmap> DefaultMousePictures()
{
    return {Mouse(true), Mouse(false)};
}

void SetHintMousePictures(const QList<QPixmap>& pictures)
{
    Pictures() = pictures;
}

const QList<QPixmap>& HintMousePictures()
{
    if (!Pictures())
        Pictures() = DefaultMousePictures();
    return *Pictures();
}

QPixmap HintMousePicture(int index)
{
    const QList<QPixmap>& pictures = HintMousePictures();
    return index >= 0 && index < pictures.size() ? pictures[index] : QPixmap();
}
