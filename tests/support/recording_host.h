#pragma once
// A KernelHost that records every call in order and answers dialogs from a
// queue of scripted results (else like the null host).
#include <deque>
#include <string>
#include <vector>

#include "kernel/dispatch/kernel_host.h"

struct HostCall {
    std::string what;  // "messageDlg", "infoShow", "infoLine", "infoAbortRequested",
                       // "infoHide", "processEvents", "statusText", "progressStatus",
                       // "closeProgramWindows", "scriptText", "setScriptCursor"
    std::string text;  // message text, caption, line text, status text
    MsgKind kind = MsgKind::Information;
    MsgButtons buttons;
    std::vector<std::string> labels;
    int a = 0;  // info line number, cursor line
    int b = 0;  // cursor column
};

class RecordingKernelHost : public KernelHost {
public:
    std::vector<HostCall> calls;
    std::deque<int> dialogResults;   // answers of messageDlg, in order
    std::deque<bool> abortAnswers;   // answers of infoAbortRequested
    std::string script;              // what scriptText() gives
    bool recordProcessEvents = true;

    int messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override;
    void infoShow(const std::string& caption, const std::vector<std::string>& labels) override;
    void infoLine(int line, const std::string& text) override;
    bool infoAbortRequested() override;
    void infoHide() override;
    void processEvents() override;
    void statusText(const std::string& text) override;
    void progressStatus(const std::string& text) override;
    void closeProgramWindows() override;
    std::string scriptText() override;
    void setScriptCursor(int line, int column) override;

    // The calls named what, in order.
    std::vector<HostCall> callsOf(const std::string& what) const;
    // The texts of all messageDlg calls.
    std::vector<std::string> messages() const;
};

// Installs a RecordingKernelHost for the lifetime of the object.
class ScopedRecordingHost {
public:
    ScopedRecordingHost() { setKernelHost(&host); }
    ~ScopedRecordingHost() { setKernelHost(nullptr); }
    RecordingKernelHost host;
};
