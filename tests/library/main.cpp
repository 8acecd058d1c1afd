#include <gtest/gtest.h>

#include <QApplication>

#include <cstring>

#include "libraryTestUtil.h"

// With "--save-forever <folder>" the executable is the victim of the interrupted-save test: it
// saves a large library over and over until it is killed.
int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save-forever") == 0)
        return librarytest::SaveForever(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
