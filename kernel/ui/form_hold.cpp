#include "kernel/ui/form_hold.h"

#include <QApplication>
#include <QHash>
#include <QTimer>

namespace {
struct Holds {
    int count = 0;
    bool destroyed = false;
};

// By window; an entry lives as long as the window is held.
QHash<const QWidget*, Holds>& HeldWindows()
{
    static QHash<const QWidget*, Holds> held;
    return held;
}

unsigned& Generation()
{
    static unsigned generation = 0;
    return generation;
}
}  // namespace

FormHold::FormHold(QWidget* widget)
    : form_(widget ? widget->window() : nullptr), key_(form_.data()), generation_(Generation())
{
    if (key_)
        ++HeldWindows()[key_].count;
}

FormHold::~FormHold()
{
    if (!key_)
        return;
    auto it = HeldWindows().find(key_);
    if (it == HeldWindows().end() || --it->count > 0)
        return;
    const bool destroyed = it->destroyed;
    HeldWindows().erase(it);
    // Posted from here, the free waits until the code that held the window
    // has returned to the event loop.
    if (destroyed && form_)
        form_->deleteLater();
}

bool FormHold::Destroyed() const
{
    if (!key_)
        return false;
    const auto it = HeldWindows().constFind(key_);
    return !form_ || (it != HeldWindows().cend() && it->destroyed);
}

bool FormHold::Gone() const
{
    return Destroyed() || generation_ != Generation();
}

bool FormHold::DeferDestruction(QWidget* form)
{
    const auto it = HeldWindows().find(form);
    if (it == HeldWindows().end())
        return false;
    it->destroyed = true;
    // Destroyed is destroyed: its timers stop with it.
    for (QTimer* timer : form->findChildren<QTimer*>())
        timer->stop();
    return true;
}

void NoteProgramReplaced()
{
    ++Generation();
}

void RejectDialogsOf(QWidget* window)
{
    if (!window)
        return;
    for (QDialog* dialog : window->findChildren<QDialog*>())
        if (dialog->isVisible())
            dialog->reject();
}

int ExecHeld(QDialog& dialog, int dropped)
{
    const FormHold opener(QApplication::activeWindow());
    const FormHold owner(dialog.parentWidget());
    const int result = dialog.exec();
    return opener.Gone() || owner.Gone() ? dropped : result;
}
