#pragma once
// One pane of a picture window ("Frame_" + index): the paint box with its
// kept image, the horizontal scroll bar below it and the splitter at its
// right edge. All panes share the window's vertical bar and first row.
#include <QCursor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstdint>

class PanePaintBox;
class PaneSplitter;
class T_MyScrollBar;

class TFrameBildKK : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScrollBarHeight = 17;

    TFrameBildKK(int index, QWidget* parent);

    // Renames the pane and its bar's Tag after panes before it were joined.
    void SetIndex(int index);
    int Index() const { return index_; }
    // 5 on every pane but the last, where the splitter is hidden.
    void SetSplitterWidth(int width);
    int SplitterWidth() const { return splitterWidth_; }

    PaneSplitter* SplitterSenk = nullptr;
    PanePaintBox* ShowBild = nullptr;
    QWidget* PanelHorScrollBar = nullptr;
    T_MyScrollBar* HorScrollBar = nullptr;

    // What the paint box shows; repaints copy from it.
    QImage keptImage{1, 1, QImage::Format_RGB32};
    // The tool feedback layer (null when none is shown) and its dirty part.
    QImage feedbackImage;
    QRect feedbackDirty;
    int32_t savedWidth = 0;
    int32_t lastHorPosition = -1;
    uint16_t cellAreaWidth = 0;
    uint16_t visibleColumns = 0;
    int32_t firstVisibleColumn = 1;
    // Where the crosshair was drawn last (-1 = nowhere), and a copy for
    // drawing it again in place.
    int32_t crosshairX = -1;
    int32_t crosshairY = -1;
    int32_t crosshairCopyX = -1;
    int32_t crosshairCopyY = -1;
    // The paint box's cursor while the crosshair hides it.
    QCursor savedCursor;

signals:
    // A right-button release on the pane's bar, x in bar coordinates.
    void splitHere(int x);
    // A right-button release on the pane's splitter.
    void joinHere();
    // The splitter was dragged dx pixels.
    void splitterDragged(int dx);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    int index_ = 0;
    int splitterWidth_ = 0;
};
