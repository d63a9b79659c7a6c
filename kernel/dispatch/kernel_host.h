#pragma once
// The kernel's only way to the windows. The shell installs the Qt host; tests
// install a recording fake; without either a null host answers.
#include <initializer_list>
#include <string>
#include <vector>

enum class MsgKind { Warning, Error, Information, Confirmation, Custom };

enum class MsgButton { Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };

class MsgButtons {
public:
    MsgButtons() = default;
    MsgButtons(std::initializer_list<MsgButton> list)
    {
        for (MsgButton b : list)
            bits_ |= bit(b);
    }
    bool has(MsgButton b) const { return (bits_ & bit(b)) != 0; }
    MsgButtons& add(MsgButton b)
    {
        bits_ |= bit(b);
        return *this;
    }
    bool empty() const { return bits_ == 0; }
    unsigned bits() const { return bits_; }
    bool operator==(const MsgButtons&) const = default;

private:
    static unsigned bit(MsgButton b) { return 1u << static_cast<unsigned>(b); }
    unsigned bits_ = 0;
};

// Modal results of the message dialogs.
enum MsgResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// The modal result of a button (Help gives 0).
int MsgButtonResult(MsgButton b);
// Return's button: OK when present, else Yes, else Retry.
int DefaultButtonResult(const MsgButtons& buttons);
// Esc's button: Cancel when present, else No, else OK; 0 when none.
int EscButtonResult(const MsgButtons& buttons);
// What a dialog nobody answers gives: the default button, else the Esc button.
int UnattendedResult(const MsgButtons& buttons);

class KernelHost {
public:
    virtual ~KernelHost() = default;

    // A message dialog with the already translated text; the modal result.
    virtual int messageDlg(const std::string& text, MsgKind kind, MsgButtons buttons);

    // The four-line progress box.
    virtual void infoShow(const std::string& caption, const std::vector<std::string>& labels);
    virtual void infoLine(int line, const std::string& text);
    virtual bool infoAbortRequested();
    virtual void infoHide();

    // Lets the windows process pending events during a long job.
    virtual void processEvents();
    // The status bar text.
    virtual void statusText(const std::string& text);
    // The status line of the progress window that long jobs (the compile)
    // keep open.
    virtual void progressStatus(const std::string& text);
    // Closes (destroys) the program windows: the list editors.
    virtual void closeProgramWindows();
    // The script editor's whole text (Windows-1252 bytes) and its cursor.
    virtual std::string scriptText();
    virtual void setScriptCursor(int line, int column);
};

// The installed host; the null host when none is installed.
KernelHost& kernelHost();
// Installs a host (nullptr: back to the null host). Not owned.
void setKernelHost(KernelHost* host);
