#include "platform/sdl_joysticks.h"
#include "platform/simulator_state.h"
#include "support/harness.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>

// Every set of closed contacts, all four at once among them, reaches the alerts through the sources that emulate the
// game port: the built-in simulator and a game pad.
namespace zavok::test {
namespace {

constexpr kit::Rgb kLightRed{255, 0, 0};

// Closes exactly the contacts of `closed` (bit n - 1 for alert n) and opens the rest.
using CloseContacts = std::function<void(int closed)>;

QByteArray record(int alert, bool activated) {
    return QByteArrayLiteral("\"Alert #") + QByteArray::number(alert) +
           (activated ? QByteArrayLiteral(" activated at\"") : QByteArrayLiteral(" deactivated at\""));
}

// The records of going from the contacts closed in `from` to those closed in `to`, in alert order.
QList<QByteArray> changes(int from, int to) {
    QList<QByteArray> out;
    for (int alert = 1; alert <= 4; ++alert) {
        const int bit = 1 << (alert - 1);
        if ((from & bit) != (to & bit)) {
            out.append(record(alert, (to & bit) != 0));
        }
    }
    return out;
}

void checkEveryCombination(Harness& h, const CloseContacts& close) {
    Zavok& z = h.start();
    const auto poll = [&](int closed) {
        close(closed);
        h.scheduler.advance(z.zavok->Timer1.interval());
    };
    poll(0);
    for (const int from : {0, 15}) {
        for (int to = 0; to < 16; ++to) {
            SCOPED_TRACE(testing::Message() << "from " << from << " to " << to);
            poll(from);
            const qsizetype before = h.logLines().size();
            poll(to);
            EXPECT_EQ(h.messages(before), changes(from, to));
            for (int alert = 1; alert <= 4; ++alert) {
                EXPECT_EQ(z.zavok->indicator.at(alert - 1)->back() == kLightRed, (to & (1 << (alert - 1))) != 0)
                    << "alert " << alert;
            }
            EXPECT_EQ(z.zavok->Timer2.isEnabled(), to != 0);
            const qsizetype back = h.logLines().size();
            poll(from);
            EXPECT_EQ(h.messages(back), changes(to, from));
        }
    }
}

TEST(EveryContactCombination, ReachesTheAlertsThroughTheSimulator) {
    platform::SimulatorState simulator;
    Harness h;
    h.portInUse = &simulator;
    checkEveryCombination(h, [&simulator](int closed) {
        for (int c = 0; c < platform::kContacts; ++c) {
            simulator.setClosed(c, (closed & (1 << c)) != 0);
        }
    });
}

TEST(EveryContactCombination, ReachesTheAlertsThroughAGamePad) {
    qputenv("SDL_VIDEODRIVER", "dummy");
    platform::SdlJoysticks sdl([](const QString& line) { ADD_FAILURE() << line.toStdString(); });
    ASSERT_TRUE(sdl.isAvailable());
    // One pad with four buttons and four axes serves all four contacts.
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 4, 4, 0);
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    Harness h;
    h.portInUse = &sdl;
    checkEveryCombination(h, [pad](int closed) {
        for (int c = 0; c < platform::kContacts; ++c) {
            SDL_JoystickSetVirtualButton(pad, c, (closed & (1 << c)) != 0 ? SDL_PRESSED : SDL_RELEASED);
        }
    });
    h.zavok.reset();
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
}

} // namespace
} // namespace zavok::test
