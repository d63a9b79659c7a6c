#include "shell/image_lists.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace {
// A picture of ours: a coloured tile with a short sign, which reads well at
// 16 x 16 and keeps the pictures of one group in one colour.
struct Bild {
    const char* sign;
    QRgb colour;
};

constexpr QRgb kFile = 0xff3a6ea5;
constexpr QRgb kEdit = 0xff7a4fa0;
constexpr QRgb kList = 0xff2e8b57;
constexpr QRgb kTest = 0xffc0392b;
constexpr QRgb kTool = 0xffd68910;
constexpr QRgb kLevel = 0xff34495e;

constexpr std::array<Bild, kBildCount> kBilder = {{
    {"N", kFile},  {"Ö", kFile},  {"S", kFile},  {"S+", kFile}, {"R<", kFile}, {"R>", kFile}, {"X", kFile},
    {"↶", kEdit},  {"✂", kEdit},  {"C", kEdit},  {"V", kEdit},  {"⌫", kEdit},  {"?", kEdit},  {"⇄", kEdit},
    // A list's picture shows the letter code its window and the scripts use.
    {"P", kList},  {"N", kList},  {"Z", kList},  {"S", kList},  {"F", kList},  {"A", kList},  {"V", kList},
    {"W", kList},  {"NR", kList}, {"FF", kList}, {"RB", kList}, {"▦", kList},  {"G", kTest},  {"P", kTest},
    {"Ed", kTool}, {"C", kTool},  {"E", kTool},  {"M", kTool},  {"1", kLevel}, {"2", kLevel}, {"L", kTool},
}};

QPixmap Tile(const Bild& b)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(b.colour));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont f("DejaVu Sans");
    const QString sign = QString::fromUtf8(b.sign);
    f.setPixelSize(sign.size() > 1 ? 7 : 11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, sign);
    return pm;
}

QPixmap Mouse(bool left)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(3.5, 1.5, 9, 13), 4, 4);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(body);
    QPainterPath button;
    button.addRect(left ? QRectF(3.5, 1.5, 4.5, 6) : QRectF(8, 1.5, 4.5, 6));
    p.setClipPath(body);
    p.fillPath(button, QColor(0xc0, 0x20, 0x20));
    p.setClipping(false);
    p.drawLine(QPointF(8, 1.5), QPointF(8, 7.5));
    p.drawLine(QPointF(3.5, 7.5), QPointF(12.5, 7.5));
    return pm;
}
}  // namespace

QString MnuBildSign(int index)
{
    return index >= 0 && index < kBildCount ? QString::fromUtf8(kBilder[static_cast<size_t>(index)].sign) : QString();
}

const QList<QPixmap>& ImageListMnuBild()
{
    static const QList<QPixmap> pictures = [] {
        QList<QPixmap> list;
        for (const Bild& b : kBilder)
            list.push_back(Tile(b));
        return list;
    }();
    return pictures;
}

QIcon MnuBildIcon(int index)
{
    const auto& list = ImageListMnuBild();
    return index >= 0 && index < list.size() ? QIcon(list[index]) : QIcon();
}

const QList<QPixmap>& ImageListMaus()
{
    static const QList<QPixmap> pictures = {Mouse(true), Mouse(false)};
    return pictures;
}
