// Test entry point for libraries that need no display: a QCoreApplication so that
// Qt's event loop, locale and file helpers behave as in the program.
#include "common/test_backend.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (tvtest::skipServerVariant()) return 0;
    return RUN_ALL_TESTS();
}
