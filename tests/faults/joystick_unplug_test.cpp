#include "inputs/sdl_joysticks.h"
#include "support/game_port.h"
#include "support/harness.h"

#include <gtest/gtest.h>

// The whole program sampling through SDL's virtual joysticks, which can be pulled out and plugged back while it
// runs: no hardware, no display.
namespace zavok::test {

using namespace Qt::StringLiterals;
namespace {

TEST(JoystickPulledOut, TheChannelHoldsUntilItIsPluggedBackAndThenReadsByItself) {
    qputenv("SDL_VIDEODRIVER", "dummy");
    inputs::SdlJoysticks sdl([](const QString& line) { ADD_FAILURE() << line.toStdString(); });
    ASSERT_TRUE(sdl.isAvailable());

    Harness h;
    h.portInUse = &sdl;
    h.joysticksInUse = &sdl;
    auto pad = std::make_unique<VirtualPad>(2, 2);
    pad->tilt(0, 32750 - 32768); // reads 50
    Zavok& z = h.start();
    ChannelForm& w = z.channel(1);
    w.enable.click();
    h.scheduler.advance(1000);

    QStringList shown; // every text and width that the zone label and the value take, in order
    for (kit::Control* c : {z.zavok->flabel[0], z.zavok->value[0]}) {
        QObject::connect(c, &kit::Control::changed, [&shown, c](kit::Property property) {
            if (property == kit::Property::Text || property == kit::Property::Place) {
                shown << c->name() + u' ' +
                             (property == kit::Property::Text ? c->text() : u"width %1"_s.arg(c->width()));
            }
        });
    }
    // Pulled out between two bursts: a trouble, not a sensor without input.
    pad.reset();
    h.scheduler.advance(500);
    EXPECT_EQ(shown.join(u','), QString());
    EXPECT_EQ(z.zavok->value[0]->text() + u' ' + z.zavok->flabel[0]->text(), u"50 Pressure"_s);
    EXPECT_TRUE(w.disable.isEnabled());
    EXPECT_TRUE(z.alerts->trouble.isOn());

    // Plugged back in: it takes the place of joystick 1 again, and the channel reads it at its next tick.
    VirtualPad again(2, 2);
    again.tilt(0, 13100 - 32768); // reads 20
    h.scheduler.advance(1000);
    EXPECT_EQ(z.zavok->value[0]->text() + u' ' + z.zavok->flabel[0]->text(), u"20 Pressure"_s);
    EXPECT_FALSE(z.alerts->trouble.isOn());
}

TEST(JoystickPulledOut, OnlyTheChannelsOfThePulledOutJoystickHold) {
    qputenv("SDL_VIDEODRIVER", "dummy");
    inputs::SdlJoysticks sdl([](const QString& line) { ADD_FAILURE() << line.toStdString(); });
    ASSERT_TRUE(sdl.isAvailable());

    Harness h;
    h.portInUse = &sdl;
    h.joysticksInUse = &sdl;
    VirtualPad first(2, 2);
    auto second = std::make_unique<VirtualPad>(2, 2);
    first.tilt(0, 32750 - 32768);   // channel 1 reads 50
    second->tilt(0, 32750 - 32768); // channel 3 reads 50
    Zavok& z = h.start();
    z.channel(1).enable.click();
    z.channel(3).enable.click();
    h.scheduler.advance(1000);

    second.reset();
    first.tilt(0, 13100 - 32768); // reads 20
    h.scheduler.advance(1000);
    EXPECT_EQ(z.zavok->value[0]->text() + u' ' + z.zavok->value[2]->text(), u"20 50"_s);
    EXPECT_EQ(z.alerts->trouble.reason(), u"joystick 2 was unplugged"_s);
}

} // namespace
} // namespace zavok::test
