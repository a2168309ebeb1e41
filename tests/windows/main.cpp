// One QApplication with the program's own identity for the whole binary; listing
// the tests needs no display.

#include "app/identity.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        app = std::make_unique<QApplication>(argc, argv);
        app::setApplicationIdentity();
    }
    return RUN_ALL_TESTS();
}
