#include "channel_fixture.h"
#include "forms/channel_state.h"

namespace zavok::test {
namespace {

using ChannelWindowTest = ChannelTest;

TEST_F(ChannelWindowTest, RenamingReachesTheZoneAndTheSamplingTimeButton) {
    ChannelForm& w = form(2);
    w.fname.doubleClick();
    EXPECT_EQ(faces({&w.fname, &w.setname}), QStringLiteral("fname+ setname+"));
    w.fname.typed(QStringLiteral("Tank A"));
    EXPECT_EQ(main().flabel[1]->text(), QStringLiteral("Volume")) << "SET NAME, not typing, renames the zone";
    w.setname.click();
    EXPECT_EQ(main().flabel[1]->text(), QStringLiteral("Tank A"));
    EXPECT_EQ(z->zavoktimer->time[2]->text(), QStringLiteral("Tank A"));
    EXPECT_EQ(faces({&w.fname, &w.setname}), QStringLiteral("fname+L setname*"));

    w.fname.doubleClick();
    w.fname.typed(QStringLiteral("6\" main"));
    EXPECT_EQ(w.fname.text(), QStringLiteral("6' main")) << "a double quote could not be saved";
}

TEST_F(ChannelWindowTest, EnableRestartsSamplingAtTheLastPeriodAndFocusesChange) {
    axis(1, 32750);
    switchOn();
    form().disable.click();
    EXPECT_TRUE(form().enable.hasFocus());

    form().enable.click();
    EXPECT_EQ(faces({&form().enable, &form().disable}), QStringLiteral("enable. disable+"));
    EXPECT_EQ(main().flabel[0]->text(), QStringLiteral("ENABLED")) << "until the first value changes it";
    EXPECT_TRUE(form().changealarm.hasFocus());
    const int reads = h.joysticks.reads;
    h.scheduler.advance(499);
    EXPECT_EQ(h.joysticks.reads, reads);
    h.scheduler.advance(1);
    EXPECT_EQ(h.joysticks.reads, reads + 101);
    EXPECT_EQ(main().value[0]->text(), QStringLiteral("50"));

    // While an alarm entry is open CHANGE is hidden: its low box takes the focus, and the channel is still on.
    form().disable.click();
    form().changealarm.click();
    form().setnewhight.setFocus();
    form().enable.click();
    EXPECT_TRUE(form().Timer1.isEnabled());
    EXPECT_TRUE(form().setnewlowt.hasFocus());
}

TEST_F(ChannelWindowTest, DisableSwitchesOffBeforeTheValueIsClassified) {
    axis(2, 32750);
    switchOn(2);
    ASSERT_EQ(main().value[1]->text(), QStringLiteral("50"));
    Trace trace;
    auto state = [this]() -> QString {
        return faces({&form(2).disable}) + (form(2).Timer1.isEnabled() ? u" on" : u" off");
    };
    trace.watch(*main().flabel[1], state);
    trace.watch(*main().value[1], state);
    trace.watch(form(2).Picture1);
    trace.watch(*main().pic[1]);
    form(2).disable.click();
    EXPECT_EQ(trace.events, (std::vector<QString>{
                                QStringLiteral("flabel2 DISABLED | disable. off"),
                                QStringLiteral("value2 DIS | disable. off"),
                                QStringLiteral("flabel2 Volume | disable. off"), // the zone's own reaction
                                QStringLiteral("Picture1 width 100"),
                                QStringLiteral("pic2 width 20"),
                            }));
}

TEST_F(ChannelWindowTest, TheCloseImageAbandonsBothFramesAndKeepsSampling) {
    axis(1, 32750);
    switchOn();
    ChannelForm& w = form();
    w.show();
    w.fname.doubleClick();
    w.changealarm.click();
    w.setnewlowt.typed(QStringLiteral("30"));
    w.calibrate.click();
    w.auto_.click();
    w.calsetzerocom.click(); // the full-scale step in MANUAL mode

    w.fclose.click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(faces({&w.fname, &w.setname}), QStringLiteral("fname+L setname*"));
    EXPECT_EQ(faces({&w.changealarm, &w.setcom, &w.setclosecom, &w.setnewlowt, &w.setnewhight}),
              QStringLiteral("changealarm+ setcom. setclosecom- setnewlowt-L setnewhight-L"));
    EXPECT_EQ(faces({&w.calibrate, &w.calfincom, &w.calsetzerocom, &w.calsetfsdcom, &w.calclosecom, &w.auto_, &w.manual,
                     &w.calzerot, &w.calfsdt}),
              QStringLiteral("calibrate+ calfincom. calsetzerocom- calsetfsdcom- calclosecom- auto- manual* "
                             "calzerot-L calfsdt-L"));
    EXPECT_EQ(w.setnewlowt.text() + w.calzerot.text() + w.calfsdt.text(), QString());
    EXPECT_EQ(w.Label3.text(), channel::kPressCalibrate);
    EXPECT_EQ(w.setlowl.text() + u'/' + w.calzvall.text() + u'/' + w.calfvall.text(), QStringLiteral("0/0/65500"));
    axis(1, 13100);
    tick();
    EXPECT_EQ(main().value[0]->text(), QStringLiteral("20")) << "the channel goes on sampling";

    // The desktop's close command is the close image.
    w.show();
    w.calibrate.click();
    w.requestClose();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.calibrate.isVisible());
}

} // namespace
} // namespace zavok::test
