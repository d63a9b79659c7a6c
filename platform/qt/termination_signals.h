#pragma once
// The signals that ask a program to end (SIGINT from Ctrl+C, SIGTERM from
// kill, SIGHUP from a closed terminal) brought onto the event loop, so that
// the program closes as its own menu closes it. The handler only writes the
// signal's number into a pipe; everything else happens on the thread that
// made the object, when the event loop reads the pipe. A second signal of
// the same kind ends the process as if none were caught.
#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Catches the three signals from now on, but for those ignored now.
    // Only one object at a time.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Gives the caught signals their default action again.
    ~TerminationSignals() override;

    // Whether the signals are caught (false when the pipe could not be made).
    bool active() const { return notifier_ != nullptr; }

signals:
    // One of the signals arrived (its number).
    void caught(int signal);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};
