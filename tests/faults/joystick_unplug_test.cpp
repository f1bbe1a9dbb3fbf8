#include "inputs/sdl_joysticks.h"
#include "support/game_port.h"
#include "support/harness.h"

#include <gtest/gtest.h>

// The whole program sampling through SDL's virtual joysticks, which can be pulled out and plugged back while it
// runs: no hardware, no display.
namespace zavok::test {

using namespace Qt::StringLiterals;
namespace {

// Only the channels of the joystick pulled out hold; the others read on.
TEST(JoystickPulledOut, ItsChannelsHoldUntilItIsPluggedBackAndThenReadByThemselves) {
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
    ChannelForm& w = z.channel(3);
    w.enable.click();
    h.scheduler.advance(1000);

    QStringList shown; // every text and width that the zone label and the value take, in order
    for (kit::Control* c : {z.zavok->flabel[2], z.zavok->value[2]}) {
        QObject::connect(c, &kit::Control::changed, [&shown, c](kit::Property property) {
            if (property == kit::Property::Text || property == kit::Property::Place) {
                shown << c->name() + u' ' +
                             (property == kit::Property::Text ? c->text() : u"width %1"_s.arg(c->width()));
            }
        });
    }
    // Pulled out between two bursts: a trouble, not a sensor without input.
    second.reset();
    first.tilt(0, 13100 - 32768); // reads 20
    h.scheduler.advance(1000);
    EXPECT_EQ(shown.join(u','), QString());
    EXPECT_EQ(z.zavok->value[0]->text() + u' ' + z.zavok->value[2]->text() + u' ' + z.zavok->flabel[2]->text(),
              u"20 50 Temperature"_s);
    EXPECT_TRUE(w.disable.isEnabled());
    EXPECT_EQ(z.alerts->trouble.reason(), u"joystick 2 was unplugged"_s);

    // Plugged back in: it takes the place of joystick 2 again, and the channel reads it at its next tick.
    VirtualPad again(2, 2);
    again.tilt(0, 13100 - 32768); // reads 20
    h.scheduler.advance(1000);
    EXPECT_EQ(z.zavok->value[2]->text() + u' ' + z.zavok->flabel[2]->text(), u"20 Temperature"_s);
    EXPECT_FALSE(z.alerts->trouble.isOn());
}

} // namespace
} // namespace zavok::test
