#pragma once
// While a remote command runs, the partner program waits for its answer
// byte. A message box with one button only (its outcome is known before it
// opens) is then held back and shown once the command has returned and its
// answer is out, so the partner never waits on a box nobody confirms. Boxes
// that ask a question still open at once: their answer decides the command.
#include <QString>

#include "kernel/dispatch/kernel_host.h"

class RemoteMessageHold {
public:
    RemoteMessageHold();
    // The outermost hold lets the held boxes open from the event loop, after
    // the answer that follows the command's return.
    ~RemoteMessageHold();
    RemoteMessageHold(const RemoteMessageHold&) = delete;
    RemoteMessageHold& operator=(const RemoteMessageHold&) = delete;

    // Whether a hold is in force.
    static bool active();
};

// Holds the box back when a hold is in force and the box has one button:
// true, with result the modal result of that button.
bool HoldRemoteMessage(const QString& text, MsgKind kind, MsgButtons buttons, int& result);
