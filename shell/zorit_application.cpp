#include "shell/zorit_application.h"

#include <exception>

#include "kernel/services/debuglog.h"
#include "kernel/ui/form_hold.h"
#include "kernel/ui/late_map.h"
#include "kernel/ui/modal_stacking.h"

ZoritApplication::ZoritApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    InstallModalStacking();
    InstallLateMapWithdrawal();
}

namespace {
// The events that run a window's own code: a key, a click, a menu key, a tick
// of one of its timers. That code may wait on a dialog or a message.
bool RunsWindowCode(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Timer:
        return true;
    default:
        return false;
    }
}

// The widget an event runs the code of: the receiver, or for a timer or an
// action the widget it belongs to.
QWidget* WidgetOf(QObject* receiver)
{
    if (receiver->isWidgetType())
        return static_cast<QWidget*>(receiver);
    QObject* parent = receiver->parent();
    return parent && parent->isWidgetType() ? static_cast<QWidget*>(parent) : nullptr;
}
}  // namespace

bool ZoritApplication::notify(QObject* receiver, QEvent* event)
{
    // A remote command that arrives while the window's code waits on a
    // dialog may destroy the window: it is freed only once that code is done.
    const FormHold hold(receiver && RunsWindowCode(event) ? WidgetOf(receiver) : nullptr);
    return DeliverGuarded([&] { return QApplication::notify(receiver, event); });
}

bool DeliverGuarded(const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (const std::exception& e) {
        DebugLog({"Exception", e.what()});
    } catch (...) {
        DebugLog({"Exception", "?"});
    }
    return false;
}
