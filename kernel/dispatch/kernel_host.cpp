#include "kernel/dispatch/kernel_host.h"

namespace {
KernelHost nullHost;
KernelHost* installed = nullptr;
}  // namespace

int MsgButtonResult(MsgButton b)
{
    switch (b) {
    case MsgButton::Yes: return mrYes;
    case MsgButton::No: return mrNo;
    case MsgButton::OK: return mrOk;
    case MsgButton::Cancel: return mrCancel;
    case MsgButton::Abort: return mrAbort;
    case MsgButton::Retry: return mrRetry;
    case MsgButton::Ignore: return mrIgnore;
    case MsgButton::All: return mrAll;
    case MsgButton::NoToAll: return mrNoToAll;
    case MsgButton::YesToAll: return mrYesToAll;
    case MsgButton::Help: return mrNone;
    }
    return mrNone;
}

int DefaultButtonResult(const MsgButtons& buttons)
{
    if (buttons.has(MsgButton::OK))
        return mrOk;
    if (buttons.has(MsgButton::Yes))
        return mrYes;
    if (buttons.has(MsgButton::Retry))
        return mrRetry;
    return mrNone;
}

int EscButtonResult(const MsgButtons& buttons)
{
    if (buttons.has(MsgButton::Cancel))
        return mrCancel;
    if (buttons.has(MsgButton::No))
        return mrNo;
    if (buttons.has(MsgButton::OK))
        return mrOk;
    return mrNone;
}

int UnattendedResult(const MsgButtons& buttons)
{
    int r = DefaultButtonResult(buttons);
    return r != mrNone ? r : EscButtonResult(buttons);
}

int KernelHost::messageDlg(const std::string&, MsgKind, MsgButtons buttons)
{
    return UnattendedResult(buttons);
}
void KernelHost::infoShow(const std::string&, const std::vector<std::string>&) {}
void KernelHost::infoLine(int, const std::string&) {}
bool KernelHost::infoAbortRequested() { return false; }
void KernelHost::infoHide() {}
void KernelHost::processEvents() {}
void KernelHost::statusText(const std::string&) {}
void KernelHost::progressStatus(const std::string&) {}
void KernelHost::closeProgramWindows() {}
std::string KernelHost::scriptText() { return {}; }
void KernelHost::setScriptCursor(int, int) {}

KernelHost& kernelHost()
{
    return installed ? *installed : nullHost;
}

void setKernelHost(KernelHost* host)
{
    installed = host;
}
