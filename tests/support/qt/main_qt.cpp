// The main of the test binaries with windows: one QApplication for the whole
// run, on the offscreen platform unless the caller chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "tests/support/test_env.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    InitTestEnvironment(&argc, argv);
    return RUN_ALL_TESTS();
}
