#include "faults/machine.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstring>

namespace zavok::test {
int settingsWriter(const QString& dataDirectory); // real_program_test.cpp
}

int main(int argc, char** argv) {
    // The crash tests start this program again as a writer of the settings files, to kill it at random moments.
    if (argc == 3 && std::strcmp(argv[1], "--settings-writer") == 0) {
        return zavok::test::settingsWriter(QString::fromLocal8Bit(argv[2]));
    }
    // Before anything else, while this is the only thread: mounts made by the tests stay in this process.
    zavok::test::enterPrivateMounts();
    // The history's database driver is a plugin, which Qt loads through the application object.
    const QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
