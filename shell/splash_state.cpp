#include "shell/splash_state.h"

void SplashState::tick()
{
    Event();
}

void SplashState::mainPainted()
{
    Event();
}

void SplashState::Event()
{
    if (!up_)
        return;
    if (!ticked_)
        ticked_ = true;
    else
        up_ = false;
}
