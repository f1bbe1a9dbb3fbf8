#include "faults/machine.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Before anything else, while this is the only thread: mounts made by the tests stay in this process.
    zavok::test::enterPrivateMounts();
    // The history's database driver is a plugin, which Qt loads through the application object.
    const QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
