#pragma once
// The pop-up hint: its text may run over several lines (CR LF) and lead a
// line with a mouse-button marker, drawn as the button's picture.
#include <QRect>
#include <QString>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QPainter;

// Draws (painter given, measureOnly false) or measures a hint text from the
// rectangle's top left. A line ends at CR LF; an empty line ends the hint. A
// line may begin with "LT" and then "RT" (with their double quotes), drawn as
// mouse pictures 0 and 1, and so is a marker further on in the line; a line
// with a picture is at least the picture height + 2 high. A lone LF ends a
// line as CR LF does. The line's last text wraps within maxWidth. On return the rectangle holds
// the widest line and all lines, plus 6 to the right and 2 below. Measuring
// without a painter uses the hint window's font.
void P_HintZeichnen(QPainter* painter, QRect& rect, const QString& text, bool measureOnly, int maxWidth);

// The font of hint windows.
QFont HintFont();

class T_MyHintWindow : public QWidget {
    Q_OBJECT
public:
    explicit T_MyHintWindow(QWidget* parent = nullptr);

    // The rectangle, from (0, 0), that the text needs; remembers maxWidth for
    // drawing.
    QRect CalcHintRect(int maxWidth, const QString& text);
    // Shows the text with the window's top left at the global position, kept
    // on the screen; maxWidth 0 stands for the screen's width. An empty text
    // hides the window.
    void ActivateHint(const QPoint& globalPos, const QString& text, int maxWidth = 0);
    void ReleaseHint();

    const QString& Caption() const { return caption_; }
    int MaxWidth() const { return maxWidth_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    int maxWidth_;
};

// Shows the hint of whatever widget the pointer rests on through one
// T_MyHintWindow, in every window of the program. Tool windows never become
// the active window, and Qt would show hints only in the active one, so every
// window is marked to show them regardless.
class HintEventFilter : public QObject {
    Q_OBJECT
public:
    explicit HintEventFilter(QObject* parent = nullptr);

    // The hint window, created with the first hint.
    T_MyHintWindow* HintWindow() const { return hint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<T_MyHintWindow> hint_;
};

// Installs the one hint filter on the application; later calls return it.
HintEventFilter* InstallHintEventFilter();
