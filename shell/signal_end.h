#pragma once
// Ending the program on a termination signal (logout, shutdown, kill) from
// wherever it waits: a message, a modal dialog, a menu or a running job's
// progress box. Each window that waits for an answer gets the one Esc gives
// (again for every window that opens afterwards), so that the nested event
// loops return; once none is left the main window is asked to close, which
// waits for a running job as closing always does. A program that has not
// ended by the grace time is ended then: nobody waits on it any longer.
#include <QObject>
#include <QTimer>

#include <functional>

class SignalEnd : public QObject {
public:
    // Time from the signal to the end of the program at the latest, less
    // what writing the RAM copy then takes.
    static constexpr int kGraceMs = 1500;

    // close asks the main window to close; giveUp ends the program when the
    // grace time is over.
    SignalEnd(std::function<void()> close, std::function<void()> giveUp, QObject* parent = nullptr);

    // Starts the end; a second call changes nothing.
    void start();
    bool started() const { return started_; }
    // The main window has closed: nothing more to do.
    void stop();

private:
    void sweep();

    std::function<void()> close_;
    std::function<void()> giveUp_;
    QTimer sweep_;
    QTimer grace_;
    bool started_ = false;
};

// Answers the window that waits in front of all others as Esc answers it
// (a dialog without an Esc answer ends unanswered), or closes the open menu.
// False when no window waits.
bool AnswerWaitingWindow();
