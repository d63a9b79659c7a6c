#include "shell/signal_end.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

#include <utility>

namespace {
// Often enough that a message the job shows after the first is gone at
// once, seldom enough to cost nothing.
constexpr int kSweepMs = 20;
}  // namespace

SignalEnd::SignalEnd(std::function<void()> close, std::function<void()> giveUp, QObject* parent)
    : QObject(parent), close_(std::move(close)), giveUp_(std::move(giveUp))
{
    sweep_.setInterval(kSweepMs);
    connect(&sweep_, &QTimer::timeout, this, &SignalEnd::sweep);
    grace_.setSingleShot(true);
    grace_.setInterval(kGraceMs);
    connect(&grace_, &QTimer::timeout, this, [this] {
        sweep_.stop();
        giveUp_();
    });
}

void SignalEnd::start()
{
    if (started_)
        return;
    started_ = true;
    grace_.start();
    sweep_.start();
    sweep();
}

void SignalEnd::stop()
{
    sweep_.stop();
    grace_.stop();
}

void SignalEnd::sweep()
{
    // A window answered now returns from its loop before the next sweep;
    // the close comes once nothing waits in front of the main window.
    if (!AnswerWaitingWindow())
        close_();
}

bool AnswerWaitingWindow()
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return true;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    } else {
        modal->close();
    }
    return true;
}
