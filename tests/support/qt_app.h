#pragma once
// One Qt application object per test process, made on first use and kept
// until the process ends (tests of several files share it).
#include <QCoreApplication>

template <class App = QCoreApplication>
inline void EnsureQtApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "zorit_tests";
    static char* argv[] = {name, nullptr};
    static App* app = new App(argc, argv);
    (void)app;
}
