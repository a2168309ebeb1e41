// One QApplication for the whole test binary. Listing the tests needs no display.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests))
        app = std::make_unique<QApplication>(argc, argv), app->setApplicationName("Brelvoxa");
    return RUN_ALL_TESTS();
}
