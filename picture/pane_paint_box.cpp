#include "picture/pane_paint_box.h"

#include <QPaintEvent>
#include <QPainter>

#include "picture/frame_bild_kk.h"

PanePaintBox::PanePaintBox(TFrameBildKK* pane) : QWidget(pane)
{
    setObjectName("ShowBild");
    setMouseTracking(true);
    // The kept image covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanePaintBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    emit painting(painter, event->rect());
}

void PanePaintBox::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(event);
}

void PanePaintBox::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(event);
}

void PanePaintBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event);
}
