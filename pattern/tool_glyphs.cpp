#include "pattern/tool_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <functional>
#include <map>

namespace {

const QColor kInk(0, 0, 0);
const QColor kFill(0, 0, 160);

QPixmap Draw(const std::function<void(QPainter&)>& draw)
{
    QPixmap pixmap(kToolGlyphSize, kToolGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    draw(p);
    return pixmap;
}

void Filled(QPainter& p)
{
    p.setBrush(kFill);
}

void Text(QPainter& p, const QString& text, int pixelSize)
{
    QFont f = p.font();
    f.setPixelSize(pixelSize);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, kToolGlyphSize, kToolGlyphSize), Qt::AlignCenter, text);
}

const QPolygon kRhombus(QList<QPoint>{{12, 3}, {21, 12}, {12, 21}, {3, 12}});
const QPolygon kPolygon(QList<QPoint>{{3, 18}, {8, 4}, {20, 7}, {17, 20}, {10, 14}});

using Painter = std::function<void(QPainter&)>;

const std::map<QString, Painter>& Painters()
{
    static const std::map<QString, Painter> painters{
        {"LinienStaerke_SpeedButton",
         [](QPainter& p) {
             for (int w = 1; w <= 4; ++w)
                 p.fillRect(3, 2 + w * (w + 1) / 2 * 2, 18, w, kInk);
         }},
        {"Linienart_SpeedButton",
         [](QPainter& p) {
             p.drawLine(3, 20, 20, 3);
             for (int i = 0; i < 4; ++i)
                 p.fillRect(3 + 4 * i, 19 - 4 * i, 4, 2, kFill);
         }},
        {"SpeedButton2", [](QPainter& p) { p.drawPoint(12, 12); }},
        {"Bogen_SpeedButton", [](QPainter& p) { p.drawArc(3, 6, 18, 24, 0, 180 * 16); }},
        {"LinieEndlos_SpeedButton", [](QPainter& p) { p.drawPolyline(QPolygon(QList<QPoint>{{3, 20}, {8, 6}, {14, 16}, {20, 4}})); }},
        {"Linie_SpeedButton", [](QPainter& p) { p.drawLine(3, 20, 20, 3); }},
        {"Spray_SpeedButton",
         [](QPainter& p) {
             for (QPoint d : {QPoint(5, 6), QPoint(9, 4), QPoint(13, 7), QPoint(7, 10), QPoint(11, 12), QPoint(16, 10),
                              QPoint(5, 15), QPoint(10, 17), QPoint(15, 15), QPoint(18, 18), QPoint(8, 20)})
                 p.fillRect(d.x(), d.y(), 2, 2, kInk);
         }},
        {"Fuellen_SpeedButton",
         [](QPainter& p) {
             p.drawPolygon(QPolygon(QList<QPoint>{{4, 10}, {12, 3}, {19, 10}, {11, 18}}));
             Filled(p);
             p.drawEllipse(16, 14, 5, 7);
         }},
        {"FreiHand_SpeedButton",
         [](QPainter& p) {
             p.drawLine(5, 19, 18, 6);
             p.drawLine(7, 20, 20, 7);
             p.fillRect(3, 19, 3, 3, kInk);
         }},
        {"SpeedButton6", [](QPainter& p) { p.drawRect(5, 5, 13, 13); }},
        {"InsDel_SpeedButton",
         [](QPainter& p) {
             p.drawRect(3, 3, 17, 17);
             p.fillRect(4, 10, 16, 4, kFill);
         }},
        {"Umranden_SpeedButton",
         [](QPainter& p) {
             p.drawRect(3, 3, 17, 17);
             Filled(p);
             p.drawRect(8, 8, 7, 7);
         }},
        {"Letter_SpeedButton", [](QPainter& p) { Text(p, "A", 18); }},
        {"BereichMarkieren_SpeedButton",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1, Qt::DashLine));
             p.drawRect(3, 3, 17, 17);
         }},
        {"Bewegen_SpeedButton",
         [](QPainter& p) {
             p.drawLine(12, 2, 12, 21);
             p.drawLine(2, 12, 21, 12);
             p.drawPolyline(QPolygon(QList<QPoint>{{9, 5}, {12, 2}, {15, 5}}));
             p.drawPolyline(QPolygon(QList<QPoint>{{9, 18}, {12, 21}, {15, 18}}));
         }},
        {"Kopieren_SpeedButton",
         [](QPainter& p) {
             p.drawRect(3, 3, 11, 11);
             Filled(p);
             p.drawRect(9, 9, 11, 11);
         }},
        {"RasterKopie_SpeedButton",
         [](QPainter& p) {
             Filled(p);
             for (int y : {3, 13})
                 for (int x : {3, 13})
                     p.drawRect(x, y, 7, 7);
         }},
        {"GrosserCursor_SpeedButton",
         [](QPainter& p) {
             p.drawLine(12, 1, 12, 22);
             p.drawLine(1, 12, 22, 12);
         }},
        {"Lineal_SpeedButton",
         [](QPainter& p) {
             p.drawRect(2, 8, 19, 7);
             for (int x = 4; x < 21; x += 3)
                 p.drawLine(x, 8, x, x % 2 ? 11 : 12);
         }},
        {"BildRaster_SpeedButton",
         [](QPainter& p) {
             for (int i = 3; i <= 21; i += 6) {
                 p.drawLine(i, 3, i, 21);
                 p.drawLine(3, i, 21, i);
             }
         }},
        {"FarbeTauschen_SpeedButton",
         [](QPainter& p) {
             p.fillRect(3, 3, 11, 11, QColor(0, 160, 0));
             p.fillRect(10, 10, 11, 11, QColor(0, 200, 200));
         }},
        {"ColPipette_SpeedButton",
         [](QPainter& p) {
             p.drawLine(4, 20, 15, 9);
             p.drawLine(6, 21, 16, 11);
             Filled(p);
             p.drawEllipse(14, 3, 7, 7);
         }},
        {"ColSchutz_SpeedButton",
         [](QPainter& p) {
             p.drawRect(6, 10, 12, 10);
             p.drawArc(8, 3, 8, 12, 0, 180 * 16);
         }},
        {"ColTransp_SpeedButton",
         [](QPainter& p) {
             for (int y = 3; y < 21; y += 4)
                 for (int x = 3 + (y / 4 % 2) * 4; x < 21; x += 8)
                     p.fillRect(x, y, 4, 4, QColor(128, 128, 128));
         }},
    };
    return painters;
}

}  // namespace

QPixmap ShapeGlyph(int index)
{
    return Draw([index](QPainter& p) {
        if (index % 2 == 1 && index < 6)
            Filled(p);
        switch (index) {
        case 0:
        case 1:
            p.drawEllipse(2, 6, 19, 11);
            break;
        case 2:
        case 3:
            p.drawEllipse(3, 3, 17, 17);
            break;
        case 4:
        case 5:
            p.drawRect(3, 5, 17, 13);
            break;
        case 6:
            p.drawPolygon(kPolygon);
            break;
        case 7:
            p.drawPolygon(kRhombus);
            break;
        default:
            break;
        }
    });
}

QPixmap ToolGlyph(const QString& buttonName)
{
    static const std::map<QString, int> shapes{{"Ellipse_SpeedButton", 0},
                                               {"KreisVoll_SpeedButton", 2},
                                               {"RechteckVoll_SpeedButton", 4},
                                               {"Polygon_SpeedButton", 6}};
    if (auto s = shapes.find(buttonName); s != shapes.end())
        return ShapeGlyph(s->second);
    if (auto d = Painters().find(buttonName); d != Painters().end())
        return Draw(d->second);
    return Draw([](QPainter&) {});
}
