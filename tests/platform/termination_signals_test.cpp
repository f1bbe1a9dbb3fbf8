#include "platform/termination_signals.h"

#include <QTest>

#include <gtest/gtest.h>

namespace zavok::platform {
namespace {

void ignoreSignal(int) {}

class TerminationSignalsTest : public ::testing::TestWithParam<int> {};

// The signal reaches the program on the event loop, never inside the handler, where almost nothing is safe.
TEST_P(TerminationSignalsTest, ArrivesOnTheEventLoop) {
    TerminationSignals termination;
    int received = 0;
    QObject::connect(&termination, &TerminationSignals::received, [&](int signal) { received = signal; });
    ASSERT_EQ(std::raise(GetParam()), 0);
    EXPECT_EQ(received, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received != 0; }, 10000));
    EXPECT_EQ(received, GetParam());
}

TEST_P(TerminationSignalsTest, ThePreviousHandlerComesBack) {
    struct sigaction mine = {};
    mine.sa_handler = ignoreSignal;
    struct sigaction before = {};
    ASSERT_EQ(::sigaction(GetParam(), &mine, &before), 0);
    { const TerminationSignals termination; }
    struct sigaction after = {};
    ::sigaction(GetParam(), nullptr, &after);
    EXPECT_EQ(after.sa_handler, &ignoreSignal);
    ::sigaction(GetParam(), &before, nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachSignal, TerminationSignalsTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
} // namespace zavok::platform
