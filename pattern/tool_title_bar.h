#pragma once
// The title bar of the pattern window's tool windows, drawn by the window
// itself. These windows are only shown and hidden by the program: they
// offer no minimise, maximise or close. A window manager's title bar brings
// those buttons whatever the window asks for (openbox keeps them against
// every hint), and beside them a narrow window's title has no room. So the
// window asks for no decoration at all and carries this bar: its title,
// whole, and a handle to move the window by.
#include <QPoint>
#include <QWidget>

class ToolTitleBar : public QWidget {
    Q_OBJECT

public:
    // Placed at the top of the window, as wide as it.
    explicit ToolTitleBar(QWidget* window);
    static int BarHeight();
    // The flags of a tool window with this bar: on top, no decoration.
    static Qt::WindowFlags WindowFlags();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint grab_;
    bool dragging_ = false;
};
