#include "kernel/ui/key_return.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "kernel/ui/on_top_windows.h"
#include "kernel/ui/progress_boxes.h"
#include "kernel/ui/x11_stacking.h"

namespace {

// Long enough for a window manager on a loaded machine, short enough that
// a window the person brings up through the manager alone (a click on its
// frame, a key of the desktop) is not taken back.
constexpr int kBoundMs = 1000;
// The manager's choices are answered this often at most: a manager that
// insists wins rather than the two taking turns. xfwm4 hands the keys to
// several windows in a row when a dialog goes.
constexpr int kMaxAnswers = 4;

using OnTopWindows::IsPopup;

bool IsDialogUp(const QWidget* w)
{
    return (w->isModal() && !ProgressBoxes::IsBox(w)) || IsPopup(w);
}

}  // namespace

KeyReturn::KeyReturn()
{
    bound_.setSingleShot(true);
    bound_.setInterval(kBoundMs);
    connect(&bound_, &QTimer::timeout, this, &KeyReturn::Stop);
}

KeyReturn& KeyReturn::Instance()
{
    static QPointer<KeyReturn> instance;
    if (!instance) {
        instance = new KeyReturn;
        instance->setParent(qApp);
    }
    return *instance;
}

void KeyReturn::HandBack(QWidget* window, QWidget* focus)
{
    KeyReturn& keys = Instance();
    keys.Watch(window, focus);
    keys.Ask();
}

void KeyReturn::Await(QWidget* window, QWidget* focus)
{
    Instance().Watch(window, focus);
}

void KeyReturn::Give()
{
    KeyReturn& keys = Instance();
    if (keys.watching_)
        keys.Ask();
}

void KeyReturn::Watch(QWidget* window, QWidget* focus)
{
    window_ = window;
    focus_ = focus;
    answered_ = 0;
    asked_ = false;
    if (!watching_)
        qApp->installEventFilter(this);
    watching_ = true;
    bound_.start();
}

void KeyReturn::Ask()
{
    if (!window_ || !window_->isVisible() || QApplication::activeModalWidget()) {
        Stop();
        return;
    }
    asked_ = true;
    raising_ = true;
    window_->raise();
    raising_ = false;
    // Asked of the window itself: Qt counts a window whose transient child
    // has the focus as active already.
    if (QWindow* handle = window_->windowHandle()) {
        handle->requestActivate();
        WindowStacking::Current().Activate(handle->winId());
    }
    if (focus_ && focus_->window() == window_)
        focus_->setFocus(Qt::ActiveWindowFocusReason);
}

void KeyReturn::Stop()
{
    if (watching_)
        qApp->removeEventFilter(this);
    watching_ = false;
    bound_.stop();
}

void KeyReturn::Activated(QWidget* window)
{
    if (window == window_) {
        // Asked for, it has come after the manager's own choice: from here
        // on every change is the person's (a desktop key, a click on a
        // frame), not to be taken back.
        if (asked_)
            Stop();
        return;
    }
    if (!window->isVisible())
        return;  // a late word of a window gone, the dialog itself
    if (IsDialogUp(window)) {
        Stop();
        return;
    }
    if (ProgressBoxes::IsBox(window))
        return;
    if (answered_ >= kMaxAnswers) {
        Stop();
        return;
    }
    if (answerDue_)
        return;
    ++answered_;
    answerDue_ = true;
    // Once Qt has finished the activation the manager gave; its choices in
    // a row get one answer.
    QTimer::singleShot(0, this, [this] {
        answerDue_ = false;
        if (watching_)
            Ask();
    });
}

bool KeyReturn::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        if (event->spontaneous())
            Stop();  // the person chooses
        break;
    case QEvent::ZOrderChange:
        if (w->isWindow() && !raising_ && w != window_)
            Stop();  // the caller brought that window up
        break;
    case QEvent::Show:
        if (w->isWindow() && w != window_ && !ProgressBoxes::IsBox(w) && w->windowType() != Qt::ToolTip)
            Stop();  // a window that came up since, a message among them
        break;
    case QEvent::WindowActivate:
        if (w->isWindow())
            Activated(w);
        break;
    default:
        break;
    }
    return false;
}
