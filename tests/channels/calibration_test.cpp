#include "channel_fixture.h"
#include "forms/channel_state.h"

namespace zavok::test {
namespace {

class CalibrationTest : public ChannelTest {
protected:
    QString buttons() {
        const ChannelForm& w = form();
        return faces({&w.calibrate, &w.calfincom, &w.calsetzerocom, &w.calsetfsdcom, &w.auto_, &w.manual, &w.calzerot,
                      &w.calfsdt});
    }
    // AUTO mode on a sampling channel: each step takes the live reading.
    void autoReadings(quint32 zero, quint32 fullScale) {
        axis(1, zero);
        tick();
        form().calsetzerocom.click();
        axis(1, fullScale);
        tick();
        EXPECT_EQ(form().calzerot.text(), QString::number(zero)) << "the accepted zero no longer follows the input";
        EXPECT_EQ(form().calfsdt.text(), QString::number(fullScale));
        form().calsetfsdcom.click();
    }
};

TEST_F(CalibrationTest, AutoModeTakesTheLiveReadingsAndFinalizeNeedsMoreThanTenCountsPerUnit) {
    axis(1, 32750);
    switchOn();
    form().calibrate.click();
    EXPECT_EQ(buttons(), QStringLiteral("calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto+ manual* calzerot+ "
                                        "calfsdt-"));
    EXPECT_EQ(form().calzerot.text(), QStringLiteral("0"));
    EXPECT_EQ(form().Label3.text(), QStringLiteral("MOVE SENSOR TO MINIMUM AND CLICK SET ZERO"));

    autoReadings(1000, 2000);
    EXPECT_EQ(buttons(), QStringLiteral("calibrate. calfincom+ calsetzerocom- calsetfsdcom- auto- manual. calzerot-L "
                                        "calfsdt-"));
    EXPECT_EQ(form().Label3.text(), QStringLiteral("PRESS FINALIZE CALIBRATION TO SET VALUES"));
    form().calfincom.click(); // D = 1000 is not more than 10 x 100: back to the zero step
    EXPECT_EQ(buttons(), QStringLiteral("calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto+ manual. calzerot+L "
                                        "calfsdt-"));
    EXPECT_EQ(form().Label3.text(), QStringLiteral("ERROR : CAL F.S.D > CAL ZERO VALUE BY (10 * METER F.S.D)"));
    EXPECT_EQ(form().calzerot.text() + u'/' + form().calfsdt.text(), QStringLiteral("0/"));
    EXPECT_EQ(form().calzvall.text() + u'/' + form().calfvall.text(), QStringLiteral("0/65500"));

    autoReadings(1000, 2001);
    form().calfincom.click();
    EXPECT_EQ(form().calzvall.text() + u'/' + form().calfvall.text(), QStringLiteral("1000/2001"));
    EXPECT_EQ(form().Label3.text(), channel::kPressCalibrate);
    EXPECT_EQ(form().calzerot.text() + form().calfsdt.text(), QString());
    EXPECT_TRUE(form().calclosecom.hasFocus());
    tick(); // the new calibration serves from the next tick: (2001 - 1000) x 100 / 1001
    EXPECT_EQ(main().value[0]->text(), QStringLiteral("100"));

    form().show();
    form().calclosecom.click();
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(form().calclosecom.isEnabled()) << "CLOSE serves once per completed calibration";
}

TEST_F(CalibrationTest, ManualModePrefillsTheEndsOfTheAxisAndWarnsOfNonNumbers) {
    axis(1, 32750);
    switchOn();
    form().calibrate.click();
    form().auto_.click();
    EXPECT_EQ(buttons(), QStringLiteral("calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto. manual+ calzerot+ "
                                        "calfsdt-"));
    EXPECT_EQ(form().calzerot.text(), QStringLiteral("0"));
    EXPECT_TRUE(form().calzerot.hasFocus());
    EXPECT_EQ(form().Label3.text(), QStringLiteral("ENTER VALUE = MINIMUM POSITION OF SENSOR"));

    form().calzerot.typed(QStringLiteral("abc"));
    tick();
    EXPECT_EQ(form().calzerot.text(), QStringLiteral("abc")) << "the live reading stays out of MANUAL mode";
    form().calsetzerocom.click();
    ASSERT_EQ(h.dialogs.asked.size(), 1u);
    EXPECT_EQ(h.dialogs.asked[0].title, QStringLiteral("Caution"));
    EXPECT_EQ(h.dialogs.asked[0].text, QStringLiteral("Please enter a value equal to your sensor minimum in the "
                                                      "ONLINE ZERO VALUE BOX before you press SET ZERO"));
    EXPECT_EQ(form().calzerot.text(), QStringLiteral("0"));
    EXPECT_TRUE(form().calsetzerocom.isEnabled()) << "the zero step stays open";

    form().calzerot.typed(QStringLiteral(" 500"));
    form().calsetzerocom.click();
    EXPECT_EQ(form().calfsdt.text(), QStringLiteral("65535"));
    EXPECT_TRUE(form().calfsdt.hasFocus());
    EXPECT_EQ(form().Label3.text(), QStringLiteral("ENTER VALUE = MAXIMUM POSITION OF SENSOR"));
    form().calfsdt.typed(QString());
    form().calsetfsdcom.click();
    ASSERT_EQ(h.dialogs.asked.size(), 2u);
    EXPECT_EQ(h.dialogs.asked[1].text, QStringLiteral("Please enter a value equal to your sensor maximum in the "
                                                      "ONLINE F.S.D VALUE BOX before you press SET F.S.D"));
    EXPECT_EQ(form().calfsdt.text(), QStringLiteral("65535"));

    form().calsetfsdcom.click();
    EXPECT_TRUE(form().auto_.isVisible()) << "the mode buttons' place is not left empty";
    form().calfincom.click();
    EXPECT_EQ(form().calzvall.text(), QStringLiteral(" 500")) << "stored exactly as typed";
    EXPECT_EQ(form().calfvall.text(), QStringLiteral("65535"));
    axis(1, 13500);
    tick(); // " 500" reads as 500: (13500 - 500) x 100 / 65035 gives 20, where the old calibration gave 21
    EXPECT_EQ(main().value[0]->text(), QStringLiteral("20"));
}

TEST_F(CalibrationTest, ManualSwitchesBackToAutoInEitherStep) {
    form().calibrate.click(); // the channel is off: "0" stays in the zero box, and is a reading like any other
    form().auto_.click();
    form().manual.click();
    EXPECT_EQ(buttons(), QStringLiteral("calibrate. calfincom- calsetzerocom+ calsetfsdcom- auto+ manual. calzerot+L "
                                        "calfsdt-L"));
    EXPECT_TRUE(form().calsetzerocom.hasFocus());
    form().calsetzerocom.click();
    form().auto_.click();
    form().manual.click();
    EXPECT_TRUE(form().calfsdt.isLocked());
    EXPECT_TRUE(form().calsetfsdcom.hasFocus());
    EXPECT_EQ(form().Label3.text(), QStringLiteral("MOVE SENSOR TO MAXIMUM AND CLICK SET F.S.D"));
}

} // namespace
} // namespace zavok::test
