#pragma once
// The scroll bars of the picture windows: they never take the focus, offer
// no context menu and leave the wheel to the window. A right-button release
// is reported (a pane's bar splits the pane there).
#include <QScrollBar>

class T_MyScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit T_MyScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

signals:
    // x in the bar's own coordinates.
    void rightReleased(int x);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
