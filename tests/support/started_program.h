#pragma once

#include "support/harness.h"

#include <gtest/gtest.h>

namespace zavok::test {

// A started program as a first run leaves it (every channel off), for tests that work its windows by hand.
class StartedProgram : public ::testing::Test {
protected:
    void SetUp() override {
        z = &h.start();
        start = h.logLines().size();
    }

    MainForm& main() { return *z->zavok; }
    ChannelForm& channel(int n) { return z->channel(n); }
    // The records written since start-up, without their time and date fields.
    QList<QByteArray> records() const { return h.messages(start); }

    Harness h;
    Zavok* z = nullptr;
    qsizetype start = 0;
};

} // namespace zavok::test
