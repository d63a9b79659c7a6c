#include "kernel/ui/my_hint_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
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

// Takes the next line off the text. A line ends at CR LF; a lone LF, as
// hints set on Qt widgets carry, ends it as well.
QString TakeLine(QString& rest)
{
    const int end = rest.indexOf(QLatin1Char('\n'));
    QString line = end < 0 ? rest : rest.left(end);
    rest = end < 0 ? QString() : rest.mid(end + 1);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

bool StartsWithLineEnd(const QString& text)
{
    return text.startsWith(QLatin1String("\r\n")) || text.startsWith(QLatin1Char('\n'));
}

// The picture of the marker at the position, or -1.
int MarkerAt(const QString& line, int at)
{
    if (QStringView(line).mid(at).startsWith(LeftButtonMarker))
        return 0;
    if (QStringView(line).mid(at).startsWith(RightButtonMarker))
        return 1;
    return -1;
}

// The next marker at or after the position; the line's length when none.
int NextMarker(const QString& line, int from)
{
    const int left = line.indexOf(LeftButtonMarker, from);
    const int right = line.indexOf(RightButtonMarker, from);
    if (left < 0)
        return right < 0 ? line.size() : right;
    return right < 0 ? left : std::min(left, right);
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
    while (!rest.isEmpty() && !StartsWithLineEnd(rest)) {
        const QString line = TakeLine(rest);
        int x = left;
        int lineHeight = fm.height();
        int at = 0;
        while (at < line.size()) {
            if (const int picture = MarkerAt(line, at); picture >= 0) {
                const QPixmap pixmap = HintMousePicture(picture);
                if (draw)
                    painter->drawPixmap(x, y, pixmap);
                lineHeight = std::max(lineHeight, pixmap.height() + 2);
                x += pixmap.width();
                right = std::max(right, x);
                at += LeftButtonMarker.size();
                continue;
            }
            const int end = NextMarker(line, at);
            const QString part = line.mid(at, end - at);
            at = end;
            if (at < line.size()) {
                // Text between markers stays on the line with its pictures.
                if (draw)
                    painter->drawText(QRect(x, y, fm.horizontalAdvance(part), fm.height()), TextFlags, part);
                x += fm.horizontalAdvance(part);
                right = std::max(right, x);
                continue;
            }
            // The line's last text wraps within the width left to it.
            const QRect bounds(x, y, std::max(1, maxWidth - (x - left)), INT_MAX / 4);
            const QRect textRect = fm.boundingRect(bounds, TextFlags, part);
            if (draw)
                painter->drawText(QRect(x, y, textRect.width(), textRect.height()), TextFlags, part);
            right = std::max(right, x + textRect.width());
            lineHeight = std::max(lineHeight, textRect.height());
        }
        y += lineHeight;
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

HintEventFilter::HintEventFilter(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("HintEventFilter"));
    // The filter lives as long as the application object, longer than any
    // window may: its hint window goes when the event loop ends.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete hint_; });
}

bool HintEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (auto* window = qobject_cast<QWidget*>(watched); window && window->isWindow() && window != hint_)
            window->setAttribute(Qt::WA_AlwaysShowToolTips);
        return false;
    case QEvent::ToolTip: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->toolTip().isEmpty())
            return false;
        if (!hint_)
            hint_ = new T_MyHintWindow();
        // A hint in the two-part form "short|long" shows its short part.
        const QString hint = widget->toolTip().section(QLatin1Char('|'), 0, 0);
        hint_->ActivateHint(static_cast<QHelpEvent*>(event)->globalPos() + QPoint(0, 20), hint);
        return true;
    }
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        if (hint_ && hint_->isVisible())
            hint_->ReleaseHint();
        return false;
    default:
        return false;
    }
}

HintEventFilter* InstallHintEventFilter()
{
    if (auto* existing = qApp->findChild<HintEventFilter*>(QStringLiteral("HintEventFilter"), Qt::FindDirectChildrenOnly))
        return existing;
    auto* filter = new HintEventFilter(qApp);
    qApp->installEventFilter(filter);
    return filter;
}
