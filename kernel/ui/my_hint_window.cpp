#include "kernel/ui/my_hint_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <climits>

#include "kernel/ui/mouse_pictures.h"

namespace {

constexpr int TextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

int ScreenWidth(const QPoint& globalPos)
{
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

// Takes the next line (up to CR LF) off the text.
QString TakeLine(QString& rest)
{
    const int end = rest.indexOf(QLatin1String("\r\n"));
    QString line = end < 0 ? rest : rest.left(end);
    rest = end < 0 ? QString() : rest.mid(end + 2);
    return line;
}

}  // namespace

QFont HintFont()
{
    return QToolTip::font();
}

void P_HintZeichnen(QPainter* painter, QRect& rect, const QString& text, bool measureOnly, int maxWidth)
{
    const QFontMetrics fm = painter ? painter->fontMetrics() : QFontMetrics(HintFont());
    const bool draw = painter && !measureOnly;
    const int left = rect.left();
    const int top = rect.top();
    int right = left;
    int y = top;
    QString rest = text;
    while (!rest.isEmpty() && !rest.startsWith(QLatin1String("\r\n"))) {
        QString line = TakeLine(rest);
        int x = left;
        int lineHeight = fm.height();
        for (int picture : {0, 1}) {
            const QString& marker = picture == 0 ? LeftButtonMarker : RightButtonMarker;
            if (!line.startsWith(marker))
                continue;
            line.remove(0, marker.size());
            const QPixmap pixmap = HintMousePicture(picture);
            if (draw)
                painter->drawPixmap(x, y, pixmap);
            lineHeight = std::max(lineHeight, pixmap.height() + 2);
            x += pixmap.width();
        }
        const QRect bounds(x, y, std::max(1, maxWidth - (x - left)), INT_MAX / 4);
        const QRect textRect = fm.boundingRect(bounds, TextFlags, line);
        if (draw)
            painter->drawText(QRect(x, y, textRect.width(), textRect.height()), TextFlags, line);
        right = std::max(right, x + textRect.width());
        y += std::max(lineHeight, textRect.height());
    }
    rect = QRect(left, top, right - left + 6, y - top + 2);
}

T_MyHintWindow::T_MyHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), maxWidth_(ScreenWidth(QPoint()))
{
    setObjectName(QStringLiteral("MyHintWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(HintFont());
}

QRect T_MyHintWindow::CalcHintRect(int maxWidth, const QString& text)
{
    maxWidth_ = maxWidth;
    QRect rect(0, 0, 0, 0);
    P_HintZeichnen(nullptr, rect, text, true, maxWidth);
    return rect;
}

void T_MyHintWindow::ActivateHint(const QPoint& globalPos, const QString& text, int maxWidth)
{
    if (text.isEmpty()) {
        ReleaseHint();
        return;
    }
    caption_ = text;
    const QRect size = CalcHintRect(maxWidth > 0 ? maxWidth : ScreenWidth(globalPos), text);
    QRect geometry(globalPos, size.size());
    if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->geometry();
        geometry.moveRight(std::min(geometry.right(), area.right()));
        geometry.moveBottom(std::min(geometry.bottom(), area.bottom()));
        geometry.moveLeft(std::max(geometry.left(), area.left()));
        geometry.moveTop(std::max(geometry.top(), area.top()));
    }
    setGeometry(geometry);
    show();
    update();
}

void T_MyHintWindow::ReleaseHint()
{
    hide();
}

void T_MyHintWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::ToolTipBase));
    p.setPen(pal.color(QPalette::ToolTipText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QRect area = rect().adjusted(2, 2, 0, 0);
    P_HintZeichnen(&p, area, caption_, false, maxWidth_);
}
