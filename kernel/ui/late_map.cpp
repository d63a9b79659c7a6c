#include "kernel/ui/late_map.h"

#include <QEvent>
#include <QWindow>

#include "kernel/ui/application_filter.h"
#include "kernel/ui/x11_stacking.h"

namespace {

class LateMapWithdrawal : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The server is asked on an expose of a hidden window only: the
        // unmap of a hide, a map that was on its way when the program hid
        // the window (unmapped by now), or the window manager's late map.
        if (event->type() == QEvent::Expose && watched->isWindowType()) {
            auto* window = static_cast<QWindow*>(watched);
            if (!window->parent() && !window->isVisible() && window->handle()) {
                WindowStacking& server = WindowStacking::Current();
                if (server.IsMapped(window->winId()))
                    server.Withdraw(window->winId());
            }
        }
        return false;
    }
};

}  // namespace

void InstallLateMapWithdrawal()
{
    InstallApplicationFilter<LateMapWithdrawal>();
}
