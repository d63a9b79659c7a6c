// The main of the Qt-free test binaries.
#include <gtest/gtest.h>

#include "tests/support/test_env.h"

int main(int argc, char** argv)
{
    InitTestEnvironment(&argc, argv);
    return RUN_ALL_TESTS();
}
