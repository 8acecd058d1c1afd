#include <gtest/gtest.h>

#include "app/application.h"

// The program's own application object, so that the tests see its error handling.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
