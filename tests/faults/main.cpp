#include "faults/machine.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Before anything else, while this is the only thread: mounts made by the tests stay in this process.
    zavok::test::enterPrivateMounts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
