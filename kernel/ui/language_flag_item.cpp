#include "kernel/ui/language_flag_item.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <algorithm>
#include <utility>

namespace {

constexpr int ItemWidth = 60;
constexpr int FlagLeft = 20;
constexpr int FlagTop = 5;
// The check mark sits centred in the strip left of the flag.
constexpr int CheckStrip = 20;
constexpr int CheckMarkSide = 10;

}  // namespace

LanguageFlagItem::LanguageFlagItem(QAction* action, QPixmap flag, int flagHeight)
    : action_(action), flag_(std::move(flag)), flagHeight_(flagHeight)
{
    setMouseTracking(false);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

QSize LanguageFlagItem::sizeHint() const
{
    return QSize(ItemWidth, flagHeight_ + 10);
}

bool LanguageFlagItem::highlighted() const
{
    const auto* menu = qobject_cast<const QMenu*>(parentWidget());
    return menu && action_ && menu->activeAction() == action_;
}

void LanguageFlagItem::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The menu's current entry shows the highlight; the others let the
    // menu's own background through.
    if (highlighted())
        p.fillRect(rect(), palette().brush(QPalette::Highlight));
    p.drawPixmap(FlagLeft, FlagTop, flag_);
    if (action_ && action_->isChecked())
        drawCheckMark(p);
}

// A tick in the entry's text colour. The styles' own menu check mark is
// meant for the text colour of a highlighted entry: Fusion paints it white
// on the menu's white, and the others barely set it off.
void LanguageFlagItem::drawCheckMark(QPainter& p) const
{
    const int side = std::min(CheckMarkSide, height() - 4);
    const QRectF box((CheckStrip - side) / 2.0, (height() - side) / 2.0, side, side);
    const QPointF tick[] = {
        {box.left() + 0.1 * side, box.top() + 0.5 * side},
        {box.left() + 0.4 * side, box.top() + 0.8 * side},
        {box.left() + 0.9 * side, box.top() + 0.2 * side},
    };
    const QColor colour = palette().color(highlighted() ? QPalette::HighlightedText : QPalette::WindowText);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(tick, 3);
    p.restore();
}

void LanguageFlagItem::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void LanguageFlagItem::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!rect().contains(event->position().toPoint()) || !action_ || !action_->isEnabled())
        return;
    // A chosen entry closes the whole menu chain before its action runs,
    // as a plain menu entry does.
    const QPointer<QAction> action = action_;
    for (int level = 0; level < 16; ++level) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup)
            break;
        popup->close();
    }
    if (action)
        action->trigger();
}
