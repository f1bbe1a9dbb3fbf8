#pragma once

#include "support/harness.h"

#include <gtest/gtest.h>

namespace zavok::test {

inline constexpr kit::Rgb kLightRed{255, 0, 0};
inline constexpr kit::Rgb kLightGreen{0, 255, 0};
inline constexpr kit::Rgb kLightCyan{0, 255, 255};

// A started program whose poll timer runs at its design period of 100 ms.
class AlertTest : public ::testing::Test {
protected:
    void SetUp() override {
        z = &h.start();
        start = h.logLines().size();
    }

    // One poll tick with the given port reading.
    void poll(qint16 reading) {
        h.port.value = reading;
        h.scheduler.advance(z->zavok->Timer1.interval());
    }

    // The records written since start-up, without their time and date fields.
    QList<QByteArray> records() const { return h.messages(start); }

    MainForm& form() { return *z->zavok; }

    Harness h;
    Zavok* z = nullptr;
    qsizetype start = 0;
};

} // namespace zavok::test
