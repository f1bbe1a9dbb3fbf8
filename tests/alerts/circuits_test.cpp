#include "alerts/alert_fixture.h"

namespace zavok::test {
namespace {

using Records = QList<QByteArray>;
constexpr kit::Rgb kSwitchedOff{255, 0, 0};
constexpr kit::Rgb kSwitchedOn{0, 130, 0};

TEST_F(AlertTest, ADisabledCircuitIgnoresItsAlertAndKeepsTheBellQuiet) {
    poll(240);
    form().enable[1]->click(); // circuit 2 off
    EXPECT_EQ(form().enable[1]->text(), QStringLiteral("DISABLED"));
    EXPECT_EQ(form().enable[1]->back(), kSwitchedOff);
    EXPECT_FALSE(form().indicator[1]->isEnabled());
    EXPECT_FALSE(form().alabel[1]->isEnabled());

    poll(240 - 32);
    EXPECT_TRUE(records().isEmpty());
    EXPECT_EQ(form().indicator[1]->back(), kLightGreen);
    EXPECT_FALSE(form().Timer2.isEnabled());

    const float left = form().indicator[1]->left();
    form().alabel[1]->click(); // takes no clicks while the circuit is off
    form().indicator[1]->setLeft(left + 100);
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("cat.zvk"))), QByteArray());
}

TEST_F(AlertTest, SwitchingOffWhileActiveClearsTheColoursButNotTheHomeMarker) {
    poll(240);
    poll(240 - 32);
    form().enable[1]->click();
    EXPECT_EQ(form().indicator[1]->back(), kLightGreen);
    EXPECT_EQ(form().alabel[1]->back(), kLightGreen);
    EXPECT_EQ(form().blabel[1]->back(), kLightRed);
    EXPECT_EQ(records(), Records{"\"Alert #2 activated at\""}) << "switching off writes nothing";
    poll(240 - 32);
    EXPECT_FALSE(form().Timer2.isEnabled());
}

TEST_F(AlertTest, SwitchingOnAlwaysWritesTheAlertsState) {
    poll(240);
    form().enable[2]->click();
    form().enable[2]->click(); // back on while at rest
    EXPECT_EQ(form().enable[2]->text(), QStringLiteral("ENABLED"));
    EXPECT_EQ(form().enable[2]->back(), kSwitchedOn);
    EXPECT_EQ(form().indicator[2]->back(), kLightCyan);
    EXPECT_TRUE(form().alabel[2]->isEnabled());

    form().enable[0]->click();
    poll(240 - 16);
    form().enable[0]->click(); // back on while active
    EXPECT_EQ(records(), (Records{"\"Alert #3 deactivated at\"", "\"Alert #1 activated at\""}));
    EXPECT_EQ(form().alabel[0]->back(), kLightRed);
}

TEST_F(AlertTest, RenameSavesAllFourNamesAtOnce) {
    h.dialogs.answerInput(QStringLiteral("Garage \"Door\""));
    form().clabel[3]->click();
    ASSERT_EQ(h.dialogs.asked.size(), 1u);
    EXPECT_EQ(h.dialogs.asked[0].title, QStringLiteral("Change Label"));
    EXPECT_EQ(h.dialogs.asked[0].text, QStringLiteral("Type in the name of location/appliance"));
    EXPECT_EQ(h.dialogs.asked[0].proposal, QStringLiteral("Freezer Alarm"));
    EXPECT_EQ(form().clabel[3]->text(), QStringLiteral("Garage 'Door'"));
    EXPECT_EQ(z->alerts->circuits.newname(4), QStringLiteral("Garage 'Door'"));

    h.dialogs.answerInput(QString()); // cancelled: the empty name is taken and saved
    form().clabel[1]->click();
    EXPECT_EQ(form().clabel[1]->text(), QString());
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("apnames.zvk"))),
              "\"Front Door\"\r\n\"\"\r\n\"Tank Overflow\"\r\n\"Garage 'Door'\"\r\n");
}

TEST_F(AlertTest, StatusLabelSendsItsIndicatorHomeAndSavesEveryPosition) {
    form().indicator[0]->setLeft(1000);
    form().indicator[0]->setTop(500);
    form().indicator[3]->setLeft(2000);
    form().alabel[0]->click();
    EXPECT_EQ(form().indicator[0]->left(), form().blabel[0]->left());
    EXPECT_EQ(form().indicator[0]->top(), form().blabel[0]->top());
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("cat.zvk"))),
              "60\r\n3180\r\n60\r\n3480\r\n60\r\n3780\r\n2000\r\n4080\r\n");
}

} // namespace
} // namespace zavok::test
