#include "picture/frame_bild_kk.h"

#include <QVariant>

#include "kernel/ui/translate_form.h"
#include "picture/my_scroll_bar.h"
#include "picture/pane_paint_box.h"
#include "picture/pane_splitter.h"

TFrameBildKK::TFrameBildKK(int index, QWidget* parent) : QWidget(parent)
{
    SplitterSenk = new PaneSplitter(this);
    ShowBild = new PanePaintBox(this);
    PanelHorScrollBar = new QWidget(this);
    PanelHorScrollBar->setObjectName("PanelHorScrollBar");
    HorScrollBar = new T_MyScrollBar(Qt::Horizontal, PanelHorScrollBar);
    HorScrollBar->setSingleStep(1);
    HorScrollBar->setPageStep(10);
    SetTranslatedHint(HorScrollBar, QStringLiteral("\"RT\" Bildschirm teilen"));
    keptImage.fill(Qt::white);
    connect(HorScrollBar, &T_MyScrollBar::rightReleased, this, &TFrameBildKK::splitHere);
    connect(SplitterSenk, &PaneSplitter::rightReleased, this, &TFrameBildKK::joinHere);
    connect(SplitterSenk, &PaneSplitter::dragged, this, &TFrameBildKK::splitterDragged);
    SetIndex(index);
    LayOut();
}

void TFrameBildKK::SetIndex(int index)
{
    index_ = index;
    setObjectName(QStringLiteral("Frame_%1").arg(index));
    setProperty("Tag", index);
    HorScrollBar->setProperty("Tag", index);
}

void TFrameBildKK::SetSplitterWidth(int width)
{
    splitterWidth_ = width;
    SplitterSenk->setVisible(width > 0);
    LayOut();
}

void TFrameBildKK::resizeEvent(QResizeEvent*)
{
    LayOut();
}

void TFrameBildKK::LayOut()
{
    const int w = std::max(0, width() - splitterWidth_);
    const int h = std::max(0, height() - kScrollBarHeight);
    SplitterSenk->setGeometry(w, 0, splitterWidth_, height());
    PanelHorScrollBar->setGeometry(0, h, w, kScrollBarHeight);
    HorScrollBar->setGeometry(0, 0, w, kScrollBarHeight);
    ShowBild->setGeometry(0, 0, w, h);
}
