#pragma once
// A pane's paint box ("ShowBild"): what it shows and what the mouse does on
// it are the picture window's, through its pane.
#include <QWidget>

class TFrameBildKK;

class PanePaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PanePaintBox(TFrameBildKK* pane);

signals:
    void painting(QPainter& painter, const QRect& rect);
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
