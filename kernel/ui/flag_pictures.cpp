#include "kernel/ui/flag_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

QPixmap NewFlag()
{
    QPixmap pixmap(FlagWidth, FlagHeight);
    pixmap.fill(Qt::white);
    return pixmap;
}

// Stripes across (horizontal) or down (vertical), in equal or given shares.
void Stripes(QPainter& p, bool horizontal, std::initializer_list<std::pair<QColor, int>> parts)
{
    int total = 0;
    for (const auto& part : parts)
        total += part.second;
    const int length = horizontal ? FlagHeight : FlagWidth;
    int done = 0;
    int from = 0;
    for (const auto& [colour, share] : parts) {
        done += share;
        const int to = (length * done + total / 2) / total;
        if (horizontal)
            p.fillRect(0, from, FlagWidth, to - from, colour);
        else
            p.fillRect(from, 0, to - from, FlagHeight, colour);
        from = to;
    }
}

void UnitedKingdom(QPainter& p)
{
    const QColor blue(1, 33, 105), red(200, 16, 46);
    p.fillRect(0, 0, FlagWidth, FlagHeight, blue);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3.5));
    p.drawLine(QPointF(0, 0), QPointF(FlagWidth, FlagHeight));
    p.drawLine(QPointF(0, FlagHeight), QPointF(FlagWidth, 0));
    p.setPen(QPen(red, 1.2));
    p.drawLine(QPointF(0, 0), QPointF(FlagWidth, FlagHeight));
    p.drawLine(QPointF(0, FlagHeight), QPointF(FlagWidth, 0));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(9, 0, 6, FlagHeight, Qt::white);
    p.fillRect(0, 5, FlagWidth, 6, Qt::white);
    p.fillRect(10, 0, 4, FlagHeight, red);
    p.fillRect(0, 6, FlagWidth, 4, red);
}

void Portugal(QPainter& p)
{
    Stripes(p, false, {{QColor(0, 102, 0), 2}, {QColor(255, 0, 0), 3}});
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 204, 0), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 8), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawRoundedRect(QRectF(8.5, 6, 3, 4), 1, 1);
}

void Greece(QPainter& p)
{
    const QColor blue(13, 94, 175);
    for (int i = 0; i < 9; ++i) {
        const int top = (FlagHeight * i + 4) / 9;
        const int bottom = (FlagHeight * (i + 1) + 4) / 9;
        p.fillRect(0, top, FlagWidth, bottom - top, i % 2 == 0 ? blue : QColor(Qt::white));
    }
    const int canton = (FlagHeight * 5 + 4) / 9;
    p.fillRect(0, 0, canton, canton, blue);
    p.fillRect(canton / 2 - 1, 0, 2, canton, Qt::white);
    p.fillRect(0, canton / 2 - 1, canton, 2, Qt::white);
}

void Japan(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(188, 0, 45));
    p.drawEllipse(QPointF(FlagWidth / 2.0, FlagHeight / 2.0), 4.8, 4.8);
}

QPixmap Flag(char letter)
{
    QPixmap pixmap = NewFlag();
    QPainter p(&pixmap);
    switch (letter) {
    case 'G':
        Stripes(p, true, {{Qt::black, 1}, {QColor(221, 0, 0), 1}, {QColor(255, 206, 0), 1}});
        break;
    case 'E':
        UnitedKingdom(p);
        break;
    case 'I':
        Stripes(p, false, {{QColor(0, 146, 70), 1}, {Qt::white, 1}, {QColor(206, 43, 55), 1}});
        break;
    case 'S':
        Stripes(p, true, {{QColor(170, 21, 27), 1}, {QColor(241, 191, 0), 2}, {QColor(170, 21, 27), 1}});
        break;
    case 'P':
        Portugal(p);
        break;
    case 'F':
        Stripes(p, false, {{QColor(0, 35, 149), 1}, {Qt::white, 1}, {QColor(237, 41, 57), 1}});
        break;
    case 'H':
        Greece(p);
        break;
    case 'J':
        Japan(p);
        break;
    default:
        return QPixmap();
    }
    // A thin frame keeps white parts apart from a white menu.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, FlagWidth - 1, FlagHeight - 1);
    return pixmap;
}

// A speech bubble with three dots: "say it in another language".
QPixmap LanguageSymbol()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.5, 1.5, 15, 10), 3, 3);
    bubble.addPolygon(QPolygonF({QPointF(4, 11), QPointF(3.5, 15), QPointF(8, 11)}));
    bubble.setFillRule(Qt::WindingFill);
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(70, 130, 210));
    p.drawPath(bubble.simplified());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(4.5 + 3.5 * i, 6.5), 1.2, 1.2);
    return pixmap;
}

}  // namespace

QPixmap ResourcePicture(const std::string& name)
{
    if (name == "SPRACHE")
        return LanguageSymbol();
    if (name.size() == 8 && name.compare(0, 7, "FLAGGE_") == 0)
        return Flag(name[7]);
    return QPixmap();
}
