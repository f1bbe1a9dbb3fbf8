#include "platform/sdl_joysticks.h"
#include "support/game_port.h"
#include "support/harness.h"

#include <gtest/gtest.h>

// The whole program sampling through SDL's virtual joysticks, which can be pulled out and plugged back while it
// runs: no hardware, no display.
namespace zavok::test {

using namespace Qt::StringLiterals;
namespace {

TEST(JoystickPulledOut, TheChannelShowsNoInputUntilEnableAfterItIsPluggedBack) {
    qputenv("SDL_VIDEODRIVER", "dummy");
    platform::SdlJoysticks sdl([](const QString& line) { ADD_FAILURE() << line.toStdString(); });
    ASSERT_TRUE(sdl.isAvailable());

    Harness h;
    h.joysticksInUse = &sdl;
    VirtualPad pad(2, 2);
    pad.tilt(0, 32750 - 32768); // reads 50
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
    // Pulled out between two bursts: as for any burst of zeros.
    pad.unplug();
    h.scheduler.advance(500);
    EXPECT_EQ(shown.join(u','), u"flabel1 NO INPUT,value1 DIS,flabel1 Pressure"_s);
    EXPECT_FALSE(w.disable.isVisible() || w.disable.isEnabled());

    // Plugged back in: it takes the place of joystick 1 again, and the channel waits for ENABLE.
    VirtualPad again(2, 2);
    again.tilt(0, 13100 - 32768); // reads 20
    h.scheduler.advance(5000);
    EXPECT_EQ(z.zavok->value[0]->text(), u"DIS"_s);
    w.enable.click();
    h.scheduler.advance(500);
    EXPECT_EQ(z.zavok->value[0]->text() + u' ' + z.zavok->flabel[0]->text(), u"20 Pressure"_s);
}

} // namespace
} // namespace zavok::test
