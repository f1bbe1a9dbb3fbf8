#include "log/log_viewer.h"
#include "support/started_program.h"

#include <QPointF>

namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;
using NavigationTest = StartedProgram;

TEST_F(NavigationTest, ZoneFrameAndZoneLabelOpenTheChannelWindow) {
    main().frame[1]->click();
    EXPECT_TRUE(channel(2).isVisible());
    EXPECT_TRUE(channel(2).changealarm.hasFocus());

    channel(3).fname.setFocus();
    main().flabel[2]->click();
    EXPECT_TRUE(channel(3).isVisible());
    EXPECT_TRUE(channel(3).fname.hasFocus()) << "the zone label leaves the focus where it was";

    // While an alarm entry is open CHANGE is hidden: the low entry box takes the focus instead.
    channel(4).changealarm.click();
    channel(4).hide();
    main().frame[3]->click();
    EXPECT_TRUE(channel(4).isVisible());
    EXPECT_TRUE(channel(4).setnewlowt.hasFocus());
}

TEST_F(NavigationTest, SamplingTimesCarryTheChannelNamesAndApplyOnlyAChosenEntry) {
    channel(3).fname.setText(u"Boiler"_s);
    main().timerset.click();
    TimerForm& t = *z->zavoktimer;
    EXPECT_TRUE(t.isVisible());
    EXPECT_EQ(t.time[3]->text() + u'/' + t.time[1]->text(), u"Boiler/Pressure"_s);

    t.time[3]->click();
    EXPECT_FALSE(t.secs[3]->isVisible());
    EXPECT_TRUE(t.sec[3]->isVisible() && t.sec[3]->hasFocus());
    t.sec[3]->typed(u"7"_s); // typing is not choosing
    EXPECT_EQ(t.secs[3]->text(), u"0.5"_s);
    t.sec[3]->chosen(int(t.sec[3]->items().indexOf(u"2"_s)));
    EXPECT_EQ(t.secs[3]->text(), u"2"_s);
    EXPECT_TRUE(t.secs[3]->isVisible());
    EXPECT_FALSE(t.sec[3]->isEnabled());

    t.time[0]->click();
    t.fclose.click(); // abandons the choice in progress
    EXPECT_FALSE(t.isVisible() || t.sec[0]->isVisible());
    EXPECT_TRUE(t.secs[0]->isVisible());
    EXPECT_EQ(t.secs[0]->text(), u"0.1"_s);
}

TEST(LogText, LinesEndAtCrOrCrLfAndTheLastHasNoLineEnd) {
    EXPECT_EQ(logText(""), QString());
    EXPECT_EQ(logText("\"a\"\r\n\"b\"\r\n\"c\"\r\n"), u"\"a\"\r\n\"b\"\r\n\"c\""_s);
    EXPECT_EQ(logText("a\rb\r\n\r\nc"), u"a\r\nb\r\n\r\nc"_s);
    EXPECT_EQ(logText("a\nb"), u"a\nb"_s) << "a lone LF ends no line";
    EXPECT_EQ(logText("\r\n"), QString());
    EXPECT_EQ(logText("\r\n\r\n"), u"\r\n"_s);
}

TEST_F(NavigationTest, LogWindowLoadsClearsAndIsDiscardedWhenClosed) {
    const QString day = h.logPath(u"Jul 13"_s);
    main().log.click();
    ASSERT_TRUE(z->zavoklog);
    LogForm* log = z->zavoklog.get();
    EXPECT_TRUE(log->isVisible());

    h.dialogs.answerFile(day);
    log->Command1.click();
    ASSERT_EQ(h.dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(h.dialogs.fileRequests[0].initialDirectory, h.logDirectory) << "where the logs are written";
    const QStringList lines = log->Text1.text().split(u"\r\n"_s);
    EXPECT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.first(), u"\"ZAVOK started at\",\"08:15:20 AM\",\"July 13,2001\""_s);

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
    main().log.click();
    EXPECT_EQ(z->zavoklog->Text1.text(), QString());

    main().help.click();
    ASSERT_TRUE(z->zavokhelp);
    EXPECT_TRUE(z->zavokhelp->isVisible());
    z->zavokhelp->requestClose();
    EXPECT_FALSE(z->zavokhelp) << "the help window is discarded as well";
}

TEST_F(NavigationTest, PictureChooserKeepsThePathEvenOfANonPicture) {
    const auto choose = [this](std::optional<QString> path) -> QString {
        h.dialogs.answerFile(std::move(path));
        main().image.click();
        return main().Label5.text() + u'|' + main().Image1.picture();
    };
    EXPECT_EQ(choose(std::nullopt), u'|' + kit::kFloorPlanPicture);
    EXPECT_EQ(h.dialogs.fileRequests.at(0).initialDirectory, h.picturesDirectory);
    EXPECT_EQ(choose(u"/notes.txt"_s), u"/notes.txt|"_s + kit::kFloorPlanPicture);
    h.pictures.pictures.insert(u"/house.jpg"_s);
    EXPECT_EQ(choose(u"/house.jpg"_s), u"/house.jpg|/house.jpg"_s);
}

TEST_F(NavigationTest, DroppingAnIndicatorOnThePictureSavesEveryPosition) {
    main().Image1.dropped(*main().indicator[1], 1000, 500);
    EXPECT_EQ(QPointF(main().indicator[1]->left(), main().indicator[1]->top()), QPointF(1000, 500));
    EXPECT_EQ(h.bytes(h.dataPath(u"cat.zvk"_s)), "60\r\n3180\r\n1000\r\n500\r\n60\r\n3780\r\n60\r\n4080\r\n");

    main().enable[2]->click(); // circuit 3 off: its indicator cannot be dragged
    main().Image1.dropped(*main().indicator[2], 10, 10);
    EXPECT_EQ(main().indicator[2]->left(), 60);
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
            const QString design = u"Displays Analogue value #%1"_s.arg(k);
            for (kit::PictureBox* meter : {form.trough[k - 1], form.pic[k - 1]}) {
                meter->click();
                if (desktop) {
                    expected.push_back(k);
                    EXPECT_EQ(meter->tip(), design + u"\nClick to see the trend"_s);
                }
            }
            EXPECT_EQ(form.trough[k - 1]->tip(), desktop ? form.pic[k - 1]->tip() : design);
        }
        EXPECT_EQ(opened, expected);
    }
}

} // namespace
} // namespace zavok::test
