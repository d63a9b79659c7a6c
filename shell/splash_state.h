#pragma once
// When the start window goes: at the second of the events "the start
// timer ran out" and "the main window painted", whichever they are, so two
// paints of the main window also end it before the timer.
class SplashState {
public:
    void tick();
    void mainPainted();
    bool up() const { return up_; }

private:
    void Event();

    bool up_ = true;
    bool ticked_ = false;
};
