// Test entry point for window tests: a QApplication on the offscreen platform
// (set by the test registration), so widgets can be built and driven.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
