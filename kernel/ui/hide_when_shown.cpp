#include "kernel/ui/hide_when_shown.h"

#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "kernel/ui/x11_stacking.h"

namespace {
// A window manager that never shows the box does not hold its hide longer;
// a loaded machine's xfwm4 may take more than a second to show it.
constexpr int kLongestWaitMs = 3000;
}  // namespace

HideWhenShown::HideWhenShown(QWidget* box, std::function<void()> hide)
    : QObject(box), box_(box), hide_(std::move(hide))
{
}

bool HideWhenShown::Defer()
{
    QWindow* window = box_->windowHandle();
    // Only xfwm4 loses it; under the others a box mapped late would take
    // the keys from the window the person works in.
    if (!window || !box_->isVisible() || window->isExposed() ||
        !QString::fromStdString(WindowStacking::Current().ManagerName()).contains("xfwm", Qt::CaseInsensitive))
        return false;
    if (!waiting_) {
        waiting_ = true;
        window->installEventFilter(this);
        QTimer::singleShot(kLongestWaitMs, this, [this] { Finish(); });
    }
    return true;
}

void HideWhenShown::Cancel()
{
    waiting_ = false;
    if (QWindow* window = box_->windowHandle())
        window->removeEventFilter(this);
}

bool HideWhenShown::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
        QTimer::singleShot(0, this, [this] { Finish(); });
    return false;
}

void HideWhenShown::Finish()
{
    if (!waiting_)
        return;
    Cancel();
    hide_();
}
