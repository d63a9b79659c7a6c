#pragma once
// xfwm4 loses the withdrawal of a window it has not mapped yet: a box that
// a quick job shows and hides again before the window manager has put it on
// the screen stays there as an empty frame. So under xfwm4 a progress box
// hidden that early is hidden once the window manager has shown it.
#include <QObject>
#include <functional>

class QWidget;

class HideWhenShown : public QObject {
public:
    // hide hides the box for good (its class's own hide, without the wait).
    HideWhenShown(QWidget* box, std::function<void()> hide);

    // Called for a hide: true when it has to wait for the window manager.
    bool Defer();
    // Called for a show: a hide still waiting is off.
    void Cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Finish();

    QWidget* box_;
    std::function<void()> hide_;
    bool waiting_ = false;
};
