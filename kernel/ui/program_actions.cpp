#include "kernel/ui/program_actions.h"

#include <QAction>
#include <QPointer>
#include <QVector>
#include <map>

#include "kernel/dispatch/busystate.h"

namespace {
struct Remembered {
    QPointer<QAction> action;
    bool enabled;
};

QVector<QPointer<QAction>> registered;
QVector<Remembered> disabledDuringJob;
std::function<void(bool)> holdCommands;
std::map<int, std::function<void()>> waiting;

void EnterBusy()
{
    disabledDuringJob.clear();
    for (const QPointer<QAction>& a : registered) {
        // A hidden action reads as disabled; disabling it for good would keep
        // it so once it shows (its handler refuses while busy anyway).
        if (a.isNull() || !a->isVisible())
            continue;
        disabledDuringJob.push_back({a, a->isEnabled()});
        a->setEnabled(false);
    }
    if (holdCommands)
        holdCommands(true);
}

void LeaveBusy()
{
    for (const Remembered& r : disabledDuringJob)
        if (!r.action.isNull())
            r.action->setEnabled(r.enabled);
    disabledDuringJob.clear();
    if (holdCommands)
        holdCommands(false);
    auto work = std::move(waiting);
    waiting.clear();
    for (auto& [key, run] : work)
        if (run)
            run();
}
}  // namespace

void RegisterProgramAction(QAction* action)
{
    if (action && !registered.contains(action))
        registered.push_back(action);
}

void InstallBusyHandling(std::function<void(bool hold)> hold)
{
    holdCommands = std::move(hold);
    SetBusyObserver([](bool busy) { busy ? EnterBusy() : LeaveBusy(); });
}

void RemoveBusyHandling()
{
    SetBusyObserver({});
    holdCommands = {};
    waiting.clear();
    registered.clear();
    disabledDuringJob.clear();
}

void RunWhenIdle(int key, std::function<void()> work)
{
    if (!ProgramBusy()) {
        work();
        return;
    }
    waiting[key] = std::move(work);
}
