#include "lists/activation_order.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

namespace {
QVector<QPointer<QWidget>>& Order()
{
    static QVector<QPointer<QWidget>> order;
    return order;
}
}  // namespace

void ActivationOrder::Note(QWidget* window)
{
    auto& order = Order();
    order.removeIf([window](const QPointer<QWidget>& w) { return w.isNull() || w == window; });
    order.prepend(window);
}

void ActivationOrder::BringNextToFront(const QWidget* leaving)
{
    for (const QPointer<QWidget>& w : Order()) {
        if (w.isNull() || w == leaving || !w->isVisible() || w->objectName().isEmpty() ||
            w->objectName() == "FormMain")
            continue;
        w->raise();
        w->activateWindow();
        return;
    }
}
