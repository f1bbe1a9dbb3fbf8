#include "platform/sdl_joysticks.h"
#include "platform/state_file.h"
#include "support/harness.h"

#include <QFile>

#include <SDL.h>
#include <gtest/gtest.h>

// A faulty input source is a trouble: the main window's caption says so, the log records when it begins and when it
// ends, and no alert moves for it.
namespace zavok::test {
namespace {

using Records = QList<QByteArray>;
constexpr kit::Rgb kLightRed{255, 0, 0};

class InputTrouble : public ::testing::Test {
protected:
    void start() {
        z = &h.start();
        first = h.logLines().size();
    }
    void poll() { h.scheduler.advance(z->zavok->Timer1.interval()); }
    void expectTrouble(bool on) const {
        EXPECT_EQ(z->zavok->caption(), on ? QStringLiteral("ZAVOK - INPUT FAULT") : QStringLiteral("ZAVOK"));
        EXPECT_EQ(z->alerts->trouble.isOn(), on);
    }

    Harness h;
    Zavok* z = nullptr;
    qsizetype first = 0;
};

TEST_F(InputTrouble, AStateFileThatGoesAwayAndComesBack) {
    const QString path = h.root.filePath(QStringLiteral("inputs.txt"));
    platform::StateFileSource source(
        path, [](const QString&) {}, [this] { return h.scheduler.now(); });
    h.portInUse = &source;
    h.joysticksInUse = &source;
    start();
    poll(); // missing from the start: every contact at rest, nothing rings
    expectTrouble(true);
    EXPECT_TRUE(z->alerts->trouble.reason().startsWith(QStringLiteral("cannot read the input state file")));
    EXPECT_FALSE(z->zavok->Timer2.isEnabled());

    Harness::put(path, "224 0 0 0 0\n"); // back, with alert 1 closed
    poll();
    expectTrouble(false);
    QFile::remove(path);
    poll();
    expectTrouble(true);
    EXPECT_EQ(z->zavok->indicator[0]->back(), kLightRed) << "the alert stays as it was";
    EXPECT_TRUE(z->zavok->Timer2.isEnabled());
    Harness::put(path, "240 0 0 0 0\n");
    poll();
    expectTrouble(false);
    EXPECT_EQ(h.messages(first),
              (Records{"\"Input fault at\"", "\"Input restored at\"", "\"Alert #1 activated at\"", "\"Input fault at\"",
                       "\"Input restored at\"", "\"Alert #1 deactivated at\""}));
}

TEST_F(InputTrouble, AGamePadPulledOutAndPluggedBack) {
    qputenv("SDL_VIDEODRIVER", "dummy");
    platform::SdlJoysticks sdl([](const QString&) {});
    ASSERT_TRUE(sdl.isAvailable());
    const auto plug = [] {
        return SDL_JoystickOpen(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 4, 4, 0));
    };
    const auto unplug = [](SDL_Joystick* pad) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
        SDL_JoystickClose(pad);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) {
                SDL_JoystickDetachVirtual(index);
            }
        }
    };
    SDL_Joystick* pad = plug();
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    h.portInUse = &sdl;
    start();
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
    poll();
    unplug(pad);
    poll();
    expectTrouble(true);
    EXPECT_EQ(z->alerts->trouble.reason(), QStringLiteral("no joystick is plugged in"));
    EXPECT_EQ(z->zavok->indicator[0]->back(), kLightRed) << "the alert stays as it was";

    pad = plug();
    poll();
    expectTrouble(false);
    EXPECT_EQ(h.messages(first), (Records{"\"Alert #1 activated at\"", "\"Input fault at\"", "\"Input restored at\"",
                                          "\"Alert #1 deactivated at\""}));
    h.zavok.reset();
    unplug(pad);
}

} // namespace
} // namespace zavok::test
