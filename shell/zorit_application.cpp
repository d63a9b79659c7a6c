#include "shell/zorit_application.h"

#include <exception>

#include "kernel/services/debuglog.h"
#include "kernel/ui/modal_stacking.h"

ZoritApplication::ZoritApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    InstallModalStacking();
}

bool ZoritApplication::notify(QObject* receiver, QEvent* event)
{
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
