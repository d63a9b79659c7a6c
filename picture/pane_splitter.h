#pragma once
// The splitter at a pane's right edge ("SplitterSenk"): dragging it moves
// width between the pane and the next; a right-button release over it joins.
#include <QWidget>

class PaneSplitter : public QWidget {
    Q_OBJECT
public:
    explicit PaneSplitter(QWidget* parent = nullptr);

signals:
    // The pointer moved dx pixels since the press.
    void dragged(int dx);
    void rightReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int pressX_ = -1;
};
