#include "pattern/mal_status_bar.h"

#include <QPainter>
#include <qdrawutil.h>

namespace {
constexpr std::array<int, MalStatusBar::kPanels> kWidths{60, 60, 60, 50};
}

MalStatusBar::MalStatusBar(QWidget* parent) : QWidget(parent)
{
    setObjectName("MalStatusBar");
}

void MalStatusBar::SetStatusText(int panel, const QString& text)
{
    if (panel < 0 || panel >= kPanels || texts_[panel] == text)
        return;
    texts_[panel] = text;
    update();
}

QString MalStatusBar::StatusText(int panel) const
{
    return panel >= 0 && panel < kPanels ? texts_[panel] : QString();
}

void MalStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    int left = 0;
    for (int i = 0; i < kPanels; ++i) {
        const QRect r(left, 0, kWidths[i], height());
        qDrawShadePanel(&painter, r, palette(), true, 1);
        const int align = (i < 3 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
        painter.drawText(r.adjusted(2, 0, -2, 0), align, texts_[i]);
        left += kWidths[i];
    }
}
