#pragma once
// Handing the keys back to a window once a dialog, a message or a job's
// progress box has gone. When a window goes, the window manager makes its
// own choice of the window that gets the keys (the dialog's parent, the
// topmost, the one used last), and some make it a little after the
// program has asked for its window: so the hand-back answers the manager's
// next choice once more. It gives way to a window the person or the caller
// brings up meanwhile (a click, a window raised or shown), to a new dialog,
// and it ends once the window has the keys again after being asked for, or
// after a bound.
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

class KeyReturn : public QObject {
public:
    // Raises the window and asks for its activation, with the focus on the
    // given widget when that lies in it, and watches for the manager's
    // choice.
    static void HandBack(QWidget* window, QWidget* focus);
    // Watches from now on, and hands the keys back at Give() unless
    // something has brought another window up in between.
    static void Await(QWidget* window, QWidget* focus);
    static void Give();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyReturn();
    static KeyReturn& Instance();
    void Watch(QWidget* window, QWidget* focus);
    void Ask();
    void Activated(QWidget* window);
    void Stop();

    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
    QTimer bound_;
    bool watching_ = false;
    bool raising_ = false;
    bool asked_ = false;
    bool answerDue_ = false;
    int answered_ = 0;
};
