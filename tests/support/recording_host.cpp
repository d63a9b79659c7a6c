#include "tests/support/recording_host.h"

namespace {
HostCall Named(const char* what)
{
    HostCall c;
    c.what = what;
    return c;
}
}  // namespace

int RecordingKernelHost::messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons)
{
    HostCall c;
    c.what = "messageDlg";
    c.text = text;
    c.kind = kind;
    c.buttons = buttons;
    calls.push_back(c);
    if (!dialogResults.empty()) {
        int r = dialogResults.front();
        dialogResults.pop_front();
        return r;
    }
    return UnattendedResult(buttons);
}

void RecordingKernelHost::infoShow(const std::string& caption, const std::vector<std::string>& labels)
{
    HostCall c;
    c.what = "infoShow";
    c.text = caption;
    c.labels = labels;
    calls.push_back(c);
}

void RecordingKernelHost::infoLine(int line, const std::string& text)
{
    HostCall c;
    c.what = "infoLine";
    c.text = text;
    c.a = line;
    calls.push_back(c);
}

bool RecordingKernelHost::infoAbortRequested()
{
    calls.push_back(Named("infoAbortRequested"));
    if (!abortAnswers.empty()) {
        bool r = abortAnswers.front();
        abortAnswers.pop_front();
        return r;
    }
    return false;
}

void RecordingKernelHost::infoHide()
{
    calls.push_back(Named("infoHide"));
}

void RecordingKernelHost::processEvents()
{
    if (recordProcessEvents)
        calls.push_back(Named("processEvents"));
}

void RecordingKernelHost::statusText(const std::string& text)
{
    HostCall c;
    c.what = "statusText";
    c.text = text;
    calls.push_back(c);
}

void RecordingKernelHost::progressStatus(const std::string& text)
{
    HostCall c;
    c.what = "progressStatus";
    c.text = text;
    calls.push_back(c);
}

void RecordingKernelHost::closeProgramWindows()
{
    calls.push_back(Named("closeProgramWindows"));
}

std::string RecordingKernelHost::scriptText()
{
    calls.push_back(Named("scriptText"));
    return script;
}

void RecordingKernelHost::setScriptCursor(int line, int column)
{
    HostCall c;
    c.what = "setScriptCursor";
    c.a = line;
    c.b = column;
    calls.push_back(c);
}

std::vector<HostCall> RecordingKernelHost::callsOf(const std::string& what) const
{
    std::vector<HostCall> out;
    for (const auto& c : calls)
        if (c.what == what)
            out.push_back(c);
    return out;
}

std::vector<std::string> RecordingKernelHost::messages() const
{
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.what == "messageDlg")
            out.push_back(c.text);
    return out;
}
