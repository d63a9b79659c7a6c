#include "picture/my_scroll_bar.h"

#include <QMouseEvent>
#include <QWheelEvent>

T_MyScrollBar::T_MyScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setMinimum(1);
    setMaximum(1);
    setValue(1);
    setPageStep(0);
}

void T_MyScrollBar::mousePressEvent(QMouseEvent* event)
{
    // The right button belongs to splitting, not to paging.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QScrollBar::mousePressEvent(event);
}

void T_MyScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        emit rightReleased(event->position().toPoint().x());
        return;
    }
    QScrollBar::mouseReleaseEvent(event);
}

void T_MyScrollBar::wheelEvent(QWheelEvent* event)
{
    // Ignored events travel up to the window, whose wheel rule scrolls.
    event->ignore();
}
