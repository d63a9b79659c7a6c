// The start window's two-event rule over orders of events.
#include <gtest/gtest.h>

#include <string>

#include "shell/splash_state.h"

TEST(SplashState, GoesAtTheSecondEvent)
{
    // T a tick of the start timer, P a paint of the main window; up after
    // each event.
    const struct {
        const char* events;
        const char* up;
    } cases[] = {
        {"", ""},
        {"T", "1"},
        {"P", "1"},
        {"TP", "10"},
        {"PT", "10"},
        {"PP", "10"},
        {"PPT", "100"},
        {"TPPP", "1000"},
    };
    for (const auto& c : cases) {
        SplashState state;
        EXPECT_TRUE(state.up());
        std::string up;
        for (const char* e = c.events; *e; ++e) {
            if (*e == 'T')
                state.tick();
            else
                state.mainPainted();
            up += state.up() ? '1' : '0';
        }
        EXPECT_EQ(up, c.up) << c.events;
    }
}
