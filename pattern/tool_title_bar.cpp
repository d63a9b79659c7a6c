#include "pattern/tool_title_bar.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

QFont TitleFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

}  // namespace

ToolTitleBar::ToolTitleBar(QWidget* window) : QWidget(window)
{
    setObjectName("ToolTitleBar");
    setFont(TitleFont());
    setGeometry(0, 0, window->width(), BarHeight());
    setCursor(Qt::SizeAllCursor);
    window->installEventFilter(this);
}

int ToolTitleBar::BarHeight()
{
    return QFontMetrics(TitleFont()).height() + 4;
}

Qt::WindowFlags ToolTitleBar::WindowFlags()
{
    // A customised hint without the title hint: the window manager draws
    // neither title nor buttons. The tools act on the window they serve,
    // which keeps the keys: a window manager that gives a new window of the
    // active one the focus, or a clicked one, must not give it to them.
    return Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowDoesNotAcceptFocus;
}

bool ToolTitleBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize)
            setGeometry(0, 0, parentWidget()->width(), BarHeight());
        else if (event->type() == QEvent::WindowTitleChange)
            update();
    }
    return false;
}

void ToolTitleBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::HighlightedText));
    const QString title = fontMetrics().elidedText(window()->windowTitle(), Qt::ElideRight, width() - 4);
    p.drawText(rect(), Qt::AlignCenter, title);
}

void ToolTitleBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The window manager moves the window as by its own title bar; where
    // it cannot, the bar moves the window itself.
    QWindow* handle = window()->windowHandle();
    dragging_ = !(handle && handle->startSystemMove());
    grab_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void ToolTitleBar::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_)
        window()->move(event->globalPosition().toPoint() - grab_);
}

void ToolTitleBar::mouseReleaseEvent(QMouseEvent*)
{
    dragging_ = false;
}
