#include "picture/form_bild_kk_zoom.h"

#include <QEvent>
#include <QLabel>

#include "kernel/language/language.h"
#include "kernel/ui/translate_form.h"
#include "picture/core/placing_frame.h"
#include "picture/core/zoom_bar_layout.h"
#include "picture/frame_bild_kk.h"
#include "picture/pane_paint_box.h"

namespace {

const QString kZoomHint = QStringLiteral("\"LT\" Zoom \u00e4ndern");

}  // namespace

T_FormBildKKZoom::T_FormBildKKZoom(QWidget* parent, const std::string& iniKey, FormRole role)
    : TFormBildKK(parent, iniKey, role)
{
}

void T_FormBildKKZoom::EnableZoomBar(uint8_t n)
{
    if (n == 0 || zoomStepCount != 0)
        return;
    zoomStepCount = n;
    PanelZoomGrund->resize(PanelZoomGrund->property("Tag").toInt(), PanelZoomGrund->height());
    for (int i = 0; i < n; ++i) {
        auto* panel = new QLabel(QString::number(i + 1), PanelZoomGrund);
        panel->setObjectName(QStringLiteral("PanelZoom%1").arg(i + 1));
        panel->setProperty("Tag", i + 1);
        panel->setAlignment(Qt::AlignCenter);
        panel->setAutoFillBackground(true);
        SetTranslatedHint(panel, kZoomHint);
        panel->installEventFilter(this);
        zoomPanels_.push_back(panel);
    }
    LayOut();
    LayOutZoomBar();
    UpdateScrollRanges();
    ApplyScrollPosition();
    RedrawCells();
}

void T_FormBildKKZoom::LayOutZoomBar()
{
    const ZoomBarLayout layout = ZoomBarLayout::For(PanelZoomGrund->width(), PanelZoomGrund->height(), zoomStepCount);
    visibleSteps_ = static_cast<uint8_t>(layout.visibleSteps);
    for (int i = 0; i < zoomPanels_.size() && i < static_cast<int>(layout.panels.size()); ++i) {
        const ZoomPanelPlace& place = layout.panels[i];
        zoomPanels_[i]->setGeometry(1, place.top, PanelZoomGrund->width() - 1, place.height);
        zoomPanels_[i]->setVisible(place.visible);
    }
    MarkPanels(zoomPending_ ? zoomStepChosen : cellWidth);
}

void T_FormBildKKZoom::MarkPanels(int marked)
{
    for (QLabel* panel : zoomPanels_) {
        const bool on = panel->property("Tag").toInt() == marked;
        QPalette pal = palette();
        pal.setColor(QPalette::Window, on ? QColor(255, 255, 0) : palette().color(QPalette::Button));
        panel->setPalette(pal);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(on ? 2 : 1);
    }
}

void T_FormBildKKZoom::resizeEvent(QResizeEvent* event)
{
    TFormBildKK::resizeEvent(event);
    if (zoomStepCount)
        LayOutZoomBar();
}

bool T_FormBildKKZoom::eventFilter(QObject* watched, QEvent* event)
{
    auto* panel = qobject_cast<QLabel*>(watched);
    if (panel && zoomPanels_.contains(panel) && event->type() == QEvent::MouseButtonRelease) {
        currentCellX = currentCellY = -1;
        SetZoomStep(static_cast<uint8_t>(panel->property("Tag").toInt()));
        return true;
    }
    return TFormBildKK::eventFilter(watched, event);
}

void T_FormBildKKZoom::SetCellSize(uint8_t size)
{
    TFormBildKK::SetCellSize(size);
    if (zoomStepCount)
        MarkPanels(cellWidth);
}

void T_FormBildKKZoom::SetZoomStep(uint8_t step)
{
    mouseTracking = 1;
    if (!zoomPending_)
        savedHint_ = toolTip();
    setToolTip(QString::fromStdString(F_TRANS("Zoom \xc3\xa4ndern")));
    SetCellSize(1);
    zoomStepChosen = step;
    MarkPanels(step);
    if (step > 1) {
        const TFrameBildKK* pane = Pane(std::clamp(currentPane, 0, PaneCount() - 1));
        targetColumns_ = static_cast<uint16_t>(pane->ShowBild->width() / step);
        targetRows_ = static_cast<uint16_t>(visibleRows / CellSizeFromZoom(step));
        zoomPending_ = 1;
        CellEvent();
    } else {
        setToolTip(savedHint_);
    }
}

void T_FormBildKKZoom::CellEvent()
{
    TFormBildKK::CellEvent();
    if (!zoomPending_)
        return;
    FeedbackBegin();
    FeedbackWipe();
    const TFrameBildKK* pane = Pane(std::clamp(currentPane, 0, PaneCount() - 1));
    const PlacingFrame frame = PlacingFrame::Around(currentCellX, currentCellY, targetColumns_, targetRows_,
                                                    pane->firstVisibleColumn, pane->visibleColumns,
                                                    FirstVisibleRow(), visibleRows);
    FeedbackFrame(currentPane, frame.x1, frame.y1, frame.x2, frame.y2);
    FeedbackShowAndDrop();
    if (buttonState == 0)
        return;
    FeedbackEnd();
    zoomPending_ = 0;
    SetCellSize(zoomStepChosen);
    setToolTip(savedHint_);
    buttonState = 0;
}
