#pragma once
// The start window: the start picture, frameless, in the middle of the
// screen, until the start timer has run out and the main window painted.
#include <QWidget>

#include "shell/splash_state.h"

class QLabel;
class QTimer;

class TFormProgrammStart : public QWidget {
    Q_OBJECT
public:
    explicit TFormProgrammStart(QWidget* parent = nullptr);
    ~TFormProgrammStart() override;

    const SplashState& State() const { return state_; }
    QLabel* Image1() const { return image1_; }
    QTimer* TimerStart() const { return timerStart_; }

public slots:
    // The main window calls this on each of its paints.
    void MainPainted();

private slots:
    void TimerStartTimer();

private:
    // Hides the window and frees it once the state says so.
    void Follow();

    SplashState state_;
    QLabel* image1_ = nullptr;
    QTimer* timerStart_ = nullptr;
    bool gone_ = false;
};

// The start window while it exists; its destruction clears it.
extern TFormProgrammStart* FormProgrammStart;
