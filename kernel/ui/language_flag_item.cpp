#include "kernel/ui/language_flag_item.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <utility>

namespace {

constexpr int ItemWidth = 60;
constexpr int FlagLeft = 20;
constexpr int FlagTop = 5;
// The check mark sits centred in the strip left of the flag.
constexpr int CheckStrip = 20;

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
    if (action_ && action_->isChecked()) {
        const int side = std::min({style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this), CheckStrip,
                                   height()});
        QStyleOption option;
        option.initFrom(this);
        option.state = QStyle::State_On | QStyle::State_Enabled;
        option.rect = QRect((CheckStrip - side) / 2, (height() - side) / 2, side, side);
        style()->drawPrimitive(QStyle::PE_IndicatorMenuCheckMark, &option, &p, this);
    }
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
