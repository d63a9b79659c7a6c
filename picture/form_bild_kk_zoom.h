#pragma once
// A picture window with a zoom bar: numbered step panels down the right
// edge, one per cell size. Choosing a step above 1 drops the view to one
// pixel per cell and lets a frame of the step's view follow the mouse; a
// click there zooms onto it.
#include <QList>

#include "picture/form_bild_kk.h"

class QLabel;

class T_FormBildKKZoom : public TFormBildKK {
    Q_OBJECT
public:
    static constexpr int kZoomBarWidth = 18;

    explicit T_FormBildKKZoom(QWidget* parent = nullptr, const std::string& iniKey = {},
                              FormRole role = FormRole::Picture);

    // Switches the bar on with n steps, once; 0 does nothing.
    void EnableZoomBar(uint8_t n);
    // Starts placing the step: the whole picture at one pixel per cell, a
    // frame of the step's view around the pointer until a click.
    virtual void SetZoomStep(uint8_t step);
    void CellEvent() override;
    void SetCellSize(uint8_t size) override;

    QLabel* ZoomPanel(int i) const { return zoomPanels_.value(i); }
    int ZoomPanelCount() const { return static_cast<int>(zoomPanels_.size()); }
    uint8_t VisibleStepCount() const { return visibleSteps_; }
    bool ZoomPending() const { return zoomPending_ != 0; }
    uint16_t TargetColumns() const { return targetColumns_; }
    uint16_t TargetRows() const { return targetRows_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayOutZoomBar();
    void MarkPanels(int marked);

    QList<QLabel*> zoomPanels_;
    QString savedHint_;
    uint16_t targetColumns_ = 0;
    uint16_t targetRows_ = 0;
    uint8_t zoomPending_ = 0;
    uint8_t visibleSteps_ = 0;
};
