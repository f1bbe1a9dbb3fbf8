#include "log/log_viewer.h"
#include "support/harness.h"

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override { z = &h.start(); }
    MainForm& form() { return *z->zavok; }

    Harness h;
    Zavok* z = nullptr;
};

TEST_F(NavigationTest, ZoneFrameAndZoneLabelOpenTheChannelWindow) {
    form().frame[1]->click();
    EXPECT_TRUE(z->channel(2).isVisible());
    EXPECT_TRUE(z->channel(2).changealarm.hasFocus());

    z->channel(3).fname.setFocus();
    form().flabel[2]->click();
    EXPECT_TRUE(z->channel(3).isVisible());
    EXPECT_TRUE(z->channel(3).fname.hasFocus()) << "the zone label leaves the focus where it was";

    // While an alarm entry is open CHANGE is hidden: the low entry box takes the focus instead.
    z->channel(4).changealarm.click();
    z->channel(4).hide();
    form().frame[3]->click();
    EXPECT_TRUE(z->channel(4).isVisible());
    EXPECT_TRUE(z->channel(4).setnewlowt.hasFocus());
}

TEST_F(NavigationTest, SamplingTimesApplyOnlyAChosenEntry) {
    z->channel(3).fname.setText(QStringLiteral("Boiler"));
    form().timerset.click();
    TimerForm& t = *z->zavoktimer;
    EXPECT_TRUE(t.isVisible());
    EXPECT_EQ(t.time[3]->text(), QStringLiteral("Boiler"));
    EXPECT_EQ(t.time[1]->text(), QStringLiteral("Pressure"));
    EXPECT_EQ(t.time[0]->text(), QStringLiteral("ALERT #1,2,3,4 TIMING"));
    EXPECT_EQ(t.sec[0]->items().size(), 30);
    EXPECT_EQ(t.sec[3]->items().size(), 29);

    t.time[3]->click();
    EXPECT_FALSE(t.secs[3]->isVisible());
    EXPECT_TRUE(t.sec[3]->isVisible() && t.sec[3]->hasFocus());
    t.sec[3]->typed(QStringLiteral("7")); // typing is not choosing
    EXPECT_EQ(t.secs[3]->text(), QStringLiteral("0.5"));
    t.sec[3]->chosen(int(t.sec[3]->items().indexOf(QStringLiteral("2"))));
    EXPECT_EQ(t.secs[3]->text(), QStringLiteral("2"));
    EXPECT_TRUE(t.secs[3]->isVisible());
    EXPECT_FALSE(t.sec[3]->isEnabled());

    t.time[0]->click();
    t.fclose.click(); // abandons the choice in progress
    EXPECT_FALSE(t.isVisible());
    EXPECT_TRUE(t.secs[0]->isVisible());
    EXPECT_FALSE(t.sec[0]->isVisible());
    EXPECT_EQ(t.secs[0]->text(), QStringLiteral("0.1"));
}

TEST(LogText, LinesEndAtCrOrCrLfAndTheLastHasNoLineEnd) {
    EXPECT_EQ(logText(""), QString());
    EXPECT_EQ(logText("\"a\"\r\n\"b\"\r\n\"c\"\r\n"), QStringLiteral("\"a\"\r\n\"b\"\r\n\"c\""));
    EXPECT_EQ(logText("a\rb\r\n\r\nc"), QStringLiteral("a\r\nb\r\n\r\nc"));
    EXPECT_EQ(logText("a\nb"), QStringLiteral("a\nb")) << "a lone LF ends no line";
    EXPECT_EQ(logText("\r\n"), QString());
    EXPECT_EQ(logText("\r\n\r\n"), QStringLiteral("\r\n"));
}

TEST_F(NavigationTest, LogWindowLoadsClearsAndIsDiscardedWhenClosed) {
    const QString day = h.logPath(QStringLiteral("Jul 13"));
    form().log.click();
    ASSERT_TRUE(z->zavoklog);
    LogForm* log = z->zavoklog.get();
    EXPECT_TRUE(log->isVisible());

    h.dialogs.answerFile(day);
    log->Command1.click();
    ASSERT_EQ(h.dialogs.fileRequests.size(), 1u);
    const kit::OpenFileRequest& asked = h.dialogs.fileRequests[0];
    EXPECT_EQ(asked.filter, QStringLiteral("Text Files (*.txt)|*.txt|"));
    EXPECT_EQ(asked.filterIndex, 1);
    EXPECT_TRUE(asked.mustExist);
    EXPECT_EQ(asked.title, QStringLiteral("SELECT DATE OF LOG FILE"));
    EXPECT_EQ(asked.initialDirectory, h.logDirectory) << "where the logs are written";
    const QStringList lines = log->Text1.text().split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.first(), QStringLiteral("\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\""));

    h.dialogs.answerFile(std::nullopt); // cancelled: the box is emptied all the same
    log->Command1.click();
    EXPECT_EQ(log->Text1.text(), QString());

    h.dialogs.answerFile(day);
    log->Command1.click();
    log->Command2.click();
    EXPECT_EQ(log->Text1.text(), QString());

    h.dialogs.answerFile(day);
    log->Command1.click();
    log->requestClose();
    EXPECT_FALSE(z->zavoklog);
    form().log.click();
    EXPECT_EQ(z->zavoklog->Text1.text(), QString());
}

TEST_F(NavigationTest, HelpWindowComesAndGoes) {
    form().help.click();
    ASSERT_TRUE(z->zavokhelp);
    EXPECT_EQ(z->zavokhelp->caption(), QStringLiteral("  LET THE ZAVOK HELP YOU"));
    EXPECT_TRUE(z->zavokhelp->isVisible());
    z->zavokhelp->requestClose();
    EXPECT_FALSE(z->zavokhelp);
}

TEST_F(NavigationTest, PictureChooserKeepsThePathEvenOfANonPicture) {
    h.dialogs.answerFile(std::nullopt);
    form().image.click();
    EXPECT_EQ(form().Label5.text(), QString());
    EXPECT_EQ(form().Image1.picture(), kit::kFloorPlanPicture);
    const kit::OpenFileRequest& asked = h.dialogs.fileRequests.at(0);
    EXPECT_EQ(asked.filter, QStringLiteral("Image Files (*.bmp)|*.bmp|Image Files (*.jpg)|*.jpg|All Files (*.*)|*.*|"));
    EXPECT_EQ(asked.filterIndex, 1);
    EXPECT_TRUE(asked.mustExist);
    EXPECT_EQ(asked.title, QString());
    EXPECT_EQ(asked.initialDirectory, h.picturesDirectory);

    h.dialogs.answerFile(QStringLiteral("/notes.txt"));
    form().image.click();
    EXPECT_EQ(form().Label5.text(), QStringLiteral("/notes.txt"));
    EXPECT_EQ(form().Image1.picture(), kit::kFloorPlanPicture);

    h.pictures.pictures.insert(QStringLiteral("/house.jpg"));
    h.dialogs.answerFile(QStringLiteral("/house.jpg"));
    form().image.click();
    EXPECT_EQ(form().Image1.picture(), QStringLiteral("/house.jpg"));
    EXPECT_EQ(form().Label5.text(), QStringLiteral("/house.jpg"));
}

TEST_F(NavigationTest, DroppingAnIndicatorOnThePictureSavesEveryPosition) {
    form().Image1.dropped(*form().indicator[1], 1000, 500);
    EXPECT_EQ(form().indicator[1]->left(), 1000);
    EXPECT_EQ(form().indicator[1]->top(), 500);
    EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("cat.zvk"))),
              "60\r\n3180\r\n1000\r\n500\r\n60\r\n3780\r\n60\r\n4080\r\n");

    form().enable[2]->click(); // circuit 3 off: its indicator cannot be dragged
    form().Image1.dropped(*form().indicator[2], 10, 10);
    EXPECT_EQ(form().indicator[2]->left(), 60);
}

// A meter's trough and its bar open the zone's trend where the program has trend windows, and their tip says so
// under the trough's own line; without them the meters keep their design and take no clicks.
TEST(MeterTrend, TroughAndBarOpenTheirZonesTrendOnlyWhereThereAreTrendWindows) {
    for (const bool desktop : {true, false}) {
        SCOPED_TRACE(desktop ? "desktop" : "service");
        Harness h;
        std::vector<int> opened;
        if (desktop) {
            h.showTrend = [&opened](int channel) { opened.push_back(channel); };
        }
        MainForm& form = *h.start().zavok;
        std::vector<int> expected;
        for (int k = 1; k <= 4; ++k) {
            const QString design = QStringLiteral("Displays Analogue value #%1").arg(k);
            for (kit::PictureBox* meter : {form.trough[k - 1], form.pic[k - 1]}) {
                meter->click();
                if (desktop) {
                    expected.push_back(k);
                    EXPECT_EQ(meter->tip(), design + QStringLiteral("\nClick to see the trend"));
                }
            }
            EXPECT_EQ(form.trough[k - 1]->tip(), desktop ? form.pic[k - 1]->tip() : design);
        }
        EXPECT_EQ(opened, expected);
    }
}

} // namespace
} // namespace zavok::test
