#include "inputs/sdl_joysticks.h"
#include "inputs/simulator_state.h"
#include "inputs/state_file.h"
#include "support/game_port.h"
#include "support/harness.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

// The whole program on the real input sources that emulate the game port: the built-in simulator and a game pad.
// A faulty source is a trouble that the caption and the log tell of, and no alert moves for it.
namespace zavok::test {
namespace {

using Records = QList<QByteArray>;

// The records of going from the contacts closed in `from` to those closed in `to`, bit n - 1 for alert n.
Records changes(int from, int to) {
    Records out;
    for (int alert = 1; alert <= 4; ++alert) {
        const int bit = 1 << (alert - 1);
        if ((from & bit) != (to & bit)) {
            out.append("\"Alert #" + QByteArray::number(alert) +
                       ((to & bit) != 0 ? " activated at\"" : " deactivated at\""));
        }
    }
    return out;
}

class Contacts : public ::testing::Test {
protected:
    // A game pad with four buttons and four axes, which alone serves all four contacts, as the program's port.
    void plugGamePad() {
        qputenv("SDL_VIDEODRIVER", "dummy");
        sdl = std::make_unique<inputs::SdlJoysticks>([](const QString& line) { ADD_FAILURE() << line.toStdString(); });
        ASSERT_TRUE(sdl->isAvailable());
        pad = std::make_unique<VirtualPad>(4, 4, SDL_JOYSTICK_TYPE_GAMECONTROLLER);
        h.portInUse = sdl.get();
    }
    void start() {
        z = &h.start();
        first = h.logLines().size();
    }
    void poll() { h.scheduler.advance(z->zavok->Timer1.interval()); }
    bool lit(int alert) const { return z->zavok->indicator.at(alert - 1)->back() == kLightRed; }
    void expectTrouble(bool on) const {
        EXPECT_EQ(z->zavok->caption(), on ? QStringLiteral("ZAVOK - INPUT FAULT") : QStringLiteral("ZAVOK"));
        EXPECT_EQ(z->alerts->trouble.isOn(), on);
    }

    void checkEveryCombination(const std::function<void(int contact, bool closed)>& set) {
        start();
        const auto pollWith = [&](int closed) {
            for (int c = 0; c < inputs::kContacts; ++c) {
                set(c, (closed & (1 << c)) != 0);
            }
            poll();
        };
        for (const int from : {0, 15}) {
            for (int to = 0; to < 16; ++to) {
                SCOPED_TRACE(testing::Message() << "from " << from << " to " << to);
                pollWith(from);
                const qsizetype before = h.logLines().size();
                pollWith(to);
                EXPECT_EQ(h.messages(before), changes(from, to));
                for (int alert = 1; alert <= 4; ++alert) {
                    EXPECT_EQ(lit(alert), (to & (1 << (alert - 1))) != 0) << "alert " << alert;
                }
            }
        }
    }

    // Declared before the program, so that they outlast it.
    inputs::SimulatorState simulator;
    std::unique_ptr<inputs::SdlJoysticks> sdl;
    std::unique_ptr<VirtualPad> pad;
    Harness h;
    Zavok* z = nullptr;
    qsizetype first = 0;
};

TEST_F(Contacts, EveryCombinationReachesTheAlertsThroughTheSimulator) {
    h.portInUse = &simulator;
    checkEveryCombination([this](int c, bool closed) { simulator.setClosed(c, closed); });
}

TEST_F(Contacts, EveryCombinationReachesTheAlertsThroughAGamePad) {
    plugGamePad();
    checkEveryCombination([this](int c, bool closed) { pad->press(c, closed); });
}

TEST_F(Contacts, AStateFileThatGoesAwayAndComesBackIsATroubleThatAlertsAndChannelsHoldThrough) {
    const QString path = h.root.filePath(QStringLiteral("inputs.txt"));
    inputs::StateFileSource source(
        path, [](const QString&) {}, [this] { return h.scheduler.now(); });
    h.portInUse = &source;
    h.joysticksInUse = &source;
    start();
    poll(); // missing from the start: every contact at rest, nothing rings
    expectTrouble(true);
    EXPECT_TRUE(z->alerts->trouble.reason().startsWith(QStringLiteral("cannot read the input state file")));
    Harness::put(path, "224 32750 0 0 0\n"); // back, with alert 1 closed and channel 1 reading 50
    z->channel(1).enable.click();
    h.scheduler.advance(1000);
    const auto shown = [this]() -> QString { return z->zavok->value[0]->text() + u' ' + z->zavok->flabel[0]->text(); };
    ASSERT_EQ(shown(), QStringLiteral("50 Pressure"));
    EXPECT_EQ(h.messages(first).mid(0, 3),
              (Records{"\"Input fault at\"", "\"Input restored at\"", "\"Alert #1 activated at\""}));
    const qsizetype before = h.logLines().size();

    QFile::remove(path);
    h.scheduler.advance(3000);
    expectTrouble(true);
    EXPECT_TRUE(lit(1)) << "the alert stays as it was";
    EXPECT_TRUE(z->zavok->Timer2.isEnabled());
    EXPECT_EQ(shown(), QStringLiteral("50 Pressure")) << "the channel holds what it showed";
    EXPECT_TRUE(z->channel(1).disable.isEnabled()) << "and stays on";

    Harness::put(path, "240 13100 0 0 0\n"); // reads 20
    h.scheduler.advance(1000);
    expectTrouble(false);
    EXPECT_EQ(shown(), QStringLiteral("20 Pressure")) << "read again without ENABLE";
    EXPECT_EQ(h.messages(before),
              (Records{"\"Input fault at\"", "\"Input restored at\"", "\"Alert #1 deactivated at\""}));
    h.zavok.reset();
    EXPECT_EQ(Harness::bytes(h.dataPath(QStringLiteral("phones.zvk"))).split('\n').at(42), "\"20\"\r")
        << "saved on, not DIS";
}

TEST_F(Contacts, AGamePadPulledOutAndPluggedBackIsATrouble) {
    plugGamePad();
    start();
    pad->press(0, true);
    poll();
    pad.reset();
    poll();
    expectTrouble(true);
    EXPECT_EQ(z->alerts->trouble.reason(), QStringLiteral("no joystick is plugged in"));
    EXPECT_TRUE(lit(1)) << "the alert stays as it was";
    pad = std::make_unique<VirtualPad>(4, 4, SDL_JOYSTICK_TYPE_GAMECONTROLLER);
    poll();
    expectTrouble(false);
    EXPECT_EQ(h.messages(first), (Records{"\"Alert #1 activated at\"", "\"Input fault at\"", "\"Input restored at\"",
                                          "\"Alert #1 deactivated at\""}));
}

} // namespace
} // namespace zavok::test
