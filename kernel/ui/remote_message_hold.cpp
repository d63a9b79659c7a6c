#include "kernel/ui/remote_message_hold.h"

#include <QCoreApplication>
#include <QTimer>
#include <bit>
#include <vector>

#include "kernel/ui/lan_dialogs.h"

namespace {

struct HeldMessage {
    QString text;
    MsgKind kind;
    MsgButtons buttons;
};

int depth = 0;
std::vector<HeldMessage> held;

int OnlyButtonResult(const MsgButtons& buttons)
{
    for (int b = 0; b <= static_cast<int>(MsgButton::Help); ++b)
        if (buttons.has(static_cast<MsgButton>(b)))
            return MsgButtonResult(static_cast<MsgButton>(b));
    return mrNone;
}

}  // namespace

RemoteMessageHold::RemoteMessageHold()
{
    ++depth;
}

RemoteMessageHold::~RemoteMessageHold()
{
    if (--depth > 0 || held.empty())
        return;
    std::vector<HeldMessage> due;
    due.swap(held);
    QTimer::singleShot(0, QCoreApplication::instance(), [due] {
        for (const HeldMessage& m : due)
            LanDialogs::MessageDlg(m.text, m.kind, m.buttons);
    });
}

bool RemoteMessageHold::active()
{
    return depth > 0;
}

bool HoldRemoteMessage(const QString& text, MsgKind kind, MsgButtons buttons, int& result)
{
    if (depth == 0 || std::popcount(buttons.bits()) != 1)
        return false;
    held.push_back({text, kind, buttons});
    result = OnlyButtonResult(buttons);
    return true;
}
