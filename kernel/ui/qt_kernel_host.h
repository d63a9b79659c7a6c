#pragma once
// The kernel's host on Qt: messages through the translated dialogs, the
// progress box through FormInfo4Z, events through the application.
#include <functional>
#include <string>
#include <vector>

#include "kernel/dispatch/kernel_host.h"

class QtKernelHost : public KernelHost {
public:
    int messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override;

    // Without a box (FormInfo4Z not created) these do nothing.
    void infoShow(const std::string& caption, const std::vector<std::string>& labels) override;
    void infoLine(int line, const std::string& text) override;
    bool infoAbortRequested() override;
    void infoHide() override;

    void processEvents() override;

    // Forwarded to the handlers the shell and the script editor install;
    // without one, the null host's answer.
    void statusText(const std::string& text) override;
    // The progress window's status line (FormFortschritt belongs to the
    // shell).
    void progressStatus(const std::string& text) override;
    void closeProgramWindows() override;
    std::string scriptText() override;
    void setScriptCursor(int line, int column) override;

    std::function<void(const std::string&)> onStatusText;
    std::function<void(const std::string&)> onProgressStatus;
    std::function<void()> onCloseProgramWindows;
    std::function<std::string()> onScriptText;
    std::function<void(int, int)> onSetScriptCursor;
};
