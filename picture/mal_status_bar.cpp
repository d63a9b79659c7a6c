#include "picture/mal_status_bar.h"

#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <qdrawutil.h>

namespace {

constexpr int kTextMargin = 2;

}  // namespace

MalStatusBar::MalStatusBar(QWidget* parent) : QWidget(parent)
{
    setObjectName("MalStatusBar");
}

void MalStatusBar::SetStatusText(int panel, const QString& text)
{
    if (panel < 0 || panel >= kPanels || texts_[panel] == text)
        return;
    texts_[panel] = text;
    if (panel < kPanels - 1 && NeededWidth(text) > widths_[panel])
        widths_[panel] = NeededWidth(text);
    update();
}

int MalStatusBar::NeededWidth(const QString& text) const
{
    const QFontMetrics fm = fontMetrics();
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c)
        digit = std::max(digit, fm.horizontalAdvance(QLatin1Char(c)));
    QString others = text;
    others.remove(QRegularExpression(QStringLiteral("[0-9]")));
    const auto digits = text.size() - others.size();
    // The text is drawn 2 px inside the panel's sunken frame on either side,
    // and a little air keeps it off the frame.
    return fm.horizontalAdvance(others) + static_cast<int>(digits) * digit + 2 * (kTextMargin + 1) + 4;
}

void MalStatusBar::FitPanel(int panel, const QString& longestText)
{
    if (panel < 0 || panel >= kPanels)
        return;
    SetPanelWidth(panel, std::max(kFirstWidths[panel], NeededWidth(longestText)));
}

QString MalStatusBar::StatusText(int panel) const
{
    return panel >= 0 && panel < kPanels ? texts_[panel] : QString();
}

void MalStatusBar::SetPanelWidth(int panel, int width)
{
    if (panel < 0 || panel >= kPanels || widths_[panel] == std::max(0, width))
        return;
    widths_[panel] = std::max(0, width);
    update();
}

int MalStatusBar::PanelWidth(int panel) const
{
    return panel >= 0 && panel < kPanels ? widths_[panel] : 0;
}

QRect MalStatusBar::PanelRect(int panel) const
{
    if (panel < 0 || panel >= kPanels)
        return {};
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += widths_[i];
    const int width = panel == kPanels - 1 ? std::max(widths_[panel], this->width() - left) : widths_[panel];
    return QRect(left, 0, width, height());
}

void MalStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < kPanels; ++i) {
        const QRect r = PanelRect(i);
        qDrawShadePanel(&painter, r, palette(), true, 1);
        const int align = (i < 3 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
        painter.drawText(r.adjusted(kTextMargin, 0, -kTextMargin, 0), align, texts_[i]);
    }
}
