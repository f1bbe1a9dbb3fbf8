#include "channels/channel_fixture.h"
#include "platform/sdl_joysticks.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

// The whole program sampling through SDL's virtual joysticks, which can be pulled out and plugged back while it
// runs: no hardware, no display.
namespace zavok::test {
namespace {

// A joystick plugged in until it is pulled out. SDL must already run (an SdlJoysticks does that).
class VirtualPad {
public:
    VirtualPad() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2, 0);
        handle_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
        EXPECT_NE(handle_, nullptr) << SDL_GetError();
    }
    ~VirtualPad() {
        const SDL_JoystickID id = SDL_JoystickInstanceID(handle_);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) {
                SDL_JoystickDetachVirtual(index);
            }
        }
        SDL_JoystickClose(handle_);
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    // The X axis at a reading of 0..65535, as the channel sees it.
    void reading(int value) { SDL_JoystickSetVirtualAxis(handle_, 0, Sint16(value - 32768)); }

private:
    SDL_Joystick* handle_ = nullptr;
};

TEST(JoystickPulledOut, TheChannelShowsNoInputUntilEnableAfterItIsPluggedBack) {
    qputenv("SDL_VIDEODRIVER", "dummy");
    QStringList told;
    platform::SdlJoysticks sdl([&told](const QString& line) { told << line; });
    ASSERT_TRUE(sdl.isAvailable()) << told.join(u'\n').toStdString();

    Harness h;
    h.joysticksInUse = &sdl;
    auto pad = std::make_unique<VirtualPad>();
    pad->reading(32750);
    Zavok& z = h.start();
    ChannelForm& w = z.channel(1);
    w.enable.click();
    h.scheduler.advance(1000);
    ASSERT_EQ(z.zavok->value[0]->text(), QStringLiteral("50"));

    Trace trace;
    trace.watch(*z.zavok->flabel[0]);
    trace.watch(*z.zavok->value[0]);
    pad.reset(); // pulled out between two bursts
    h.scheduler.advance(500);
    EXPECT_EQ(trace.events, (std::vector<QString>{QStringLiteral("flabel1 NO INPUT"), QStringLiteral("value1 DIS"),
                                                  QStringLiteral("flabel1 Pressure")}))
        << "as for any burst of zeros";
    EXPECT_EQ(faces({&w.enable, &w.disable}), QStringLiteral("enable+ disable."));
    EXPECT_FALSE(w.Timer1.isEnabled());

    // Plugged back in: it takes the place of joystick 1 again, and the channel waits for ENABLE.
    VirtualPad again;
    again.reading(13100);
    h.scheduler.advance(5000);
    EXPECT_EQ(z.zavok->value[0]->text(), QStringLiteral("DIS"));
    w.enable.click();
    h.scheduler.advance(500);
    EXPECT_EQ(z.zavok->value[0]->text(), QStringLiteral("20"));
    EXPECT_EQ(z.zavok->flabel[0]->text(), QStringLiteral("Pressure"));
    EXPECT_TRUE(told.isEmpty()) << told.join(u'\n').toStdString();
}

} // namespace
} // namespace zavok::test
