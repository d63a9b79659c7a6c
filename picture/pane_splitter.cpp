#include "picture/pane_splitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

PaneSplitter::PaneSplitter(QWidget* parent) : QWidget(parent)
{
    setObjectName("SplitterSenk");
    setCursor(Qt::SplitHCursor);
}

void PaneSplitter::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressX_ = static_cast<int>(event->globalPosition().x());
    event->accept();
}

void PaneSplitter::mouseMoveEvent(QMouseEvent* event)
{
    if (pressX_ < 0)
        return;
    const int x = static_cast<int>(event->globalPosition().x());
    if (x != pressX_) {
        emit dragged(x - pressX_);
        pressX_ = x;
    }
}

void PaneSplitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressX_ = -1;
    else if (event->button() == Qt::RightButton)
        emit rightReleased();
    event->accept();
}

void PaneSplitter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), false, 1, &palette().brush(QPalette::Button));
}
