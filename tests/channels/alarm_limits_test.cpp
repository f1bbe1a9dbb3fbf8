#include "channel_fixture.h"

namespace zavok::test {
namespace {

const QString kOutOfOrder = QStringLiteral("High Alarm should be greater than Low Alarm");

QString entryFaces(const ChannelForm& w) {
    return faces({&w.changealarm, &w.setcom, &w.setclosecom, &w.setnewlowt, &w.setnewhight});
}

// The previous limits of every row are "10" and "90".
TEST(AlarmLimits, EntriesAreCheckedLowThenHighThenOrder) {
    const char* lowOff = "Please enter a value for LOW ALARM between 0 and 100";
    const char* highOff = "Please enter a value for HIGH ALARM between 0 and 100";
    const struct {
        const char *name, *mzero, *mfsd, *low, *high;
        const char* message; // empty when the pair is taken
        const char* limits;
    } rows[] = {
        {"inside the meter", "0", "100", "20", "80", "", "20/80"},
        {"on the meter's bounds", "0", "100", "0", "100", "", "0/100"},
        {"kept as typed", "0", "100", " 25", "90 ", "", " 25/90 "},
        {"low below the meter", "0", "100", "-1", "50", lowOff, "10/90"},
        {"low not a number", "0", "100", "abc", "50", lowOff, "10/90"},
        {"low with a tail", "0", "100", "10x", "50", lowOff, "10/90"},
        {"only the first failure is told", "0", "100", "abc", "xyz", lowOff, "10/90"},
        {"high empty", "0", "100", "10", "", highOff, "10/90"},
        {"high above the meter", "0", "100", "10", "101", highOff, "10/90"},
        {"equal", "0", "100", "50", "50", "High Alarm should be greater than Low Alarm", "10/90"},
        {"reversed", "0", "100", "60", "40", "High Alarm should be greater than Low Alarm", "10/90"},
        {"the meter as its captions read", "10", "250", "5", "50",
         "Please enter a value for LOW ALARM between 10 and 250", "10/90"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        ChannelForm& w = z.channel(3);
        z.zavok->mzero[2]->setText(QString::fromLatin1(row.mzero));
        z.zavok->mfsd[2]->setText(QString::fromLatin1(row.mfsd));
        w.setlowl.setText(QStringLiteral("10"));
        w.sethighl.setText(QStringLiteral("90"));
        w.changealarm.click();
        w.setnewlowt.typed(QString::fromLatin1(row.low));
        w.setnewhight.typed(QString::fromLatin1(row.high));
        w.setcom.click();

        EXPECT_EQ(w.setlowl.text() + u'/' + w.sethighl.text(), QString::fromLatin1(row.limits));
        EXPECT_EQ(w.setnewlowt.text() + w.setnewhight.text(), QString());
        if (*row.message == '\0') {
            EXPECT_TRUE(h.dialogs.asked.empty());
            EXPECT_EQ(entryFaces(w), QStringLiteral("changealarm+ setcom. setclosecom+ setnewlowt-L setnewhight-L"));
        } else {
            ASSERT_EQ(h.dialogs.asked.size(), 1u);
            EXPECT_EQ(h.dialogs.asked[0].title, QStringLiteral("CAUTION !!! CAUTION !!! CAUTION !!!"));
            EXPECT_EQ(h.dialogs.asked[0].text, QString::fromLatin1(row.message));
            // Editing again, in front of the user, to type both limits anew.
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(entryFaces(w), QStringLiteral("changealarm. setcom+ setclosecom- setnewlowt+ setnewhight+"));
            EXPECT_TRUE(w.setnewlowt.hasFocus());
        }
    }
}

using AlarmLimitTest = ChannelTest;

TEST_F(AlarmLimitTest, ATickWhileARefusalIsOpenSeesOnlyTheOldLimits) {
    form().setlowl.setText(QStringLiteral("10"));
    form().sethighl.setText(QStringLiteral("90"));
    axis(1, 32750);
    switchOn();
    std::vector<QString> seen; // the limits as the zone finds them when a new value arrives
    QObject::connect(main().value[0], &kit::Control::changed,
                     [&] { seen.push_back(form().setlowl.text() + u'/' + form().sethighl.text()); });
    h.dialogs.whileNextMessage([&] {
        axis(1, 6550);
        tick();
        axis(1, 13100);
        tick();
    });
    form().changealarm.click();
    form().setnewlowt.typed(QStringLiteral("60"));
    form().setnewhight.typed(QStringLiteral("40"));
    form().setcom.click();
    ASSERT_EQ(h.dialogs.asked.size(), 1u);
    EXPECT_EQ(h.dialogs.asked[0].text, kOutOfOrder);
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("10/90"), QStringLiteral("10/90")}));
    EXPECT_EQ(form().setlowl.text() + u'/' + form().sethighl.text(), QStringLiteral("10/90"));
}

TEST_F(AlarmLimitTest, CloseServesOnceAfterAnAcceptedEntry) {
    auto enter = [this](const char* low, const char* high) {
        form().show();
        form().changealarm.click();
        form().setnewlowt.typed(QString::fromLatin1(low));
        form().setnewhight.typed(QString::fromLatin1(high));
        form().setcom.click();
    };
    enter("10", "90");
    EXPECT_TRUE(form().isVisible()) << "an accepted entry leaves the window open";
    form().setclosecom.click();
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(form().setclosecom.isEnabled());

    enter("20", "80");
    form().fclose.click();
    EXPECT_FALSE(form().setclosecom.isEnabled()) << "the close image takes CLOSE away too";
    EXPECT_EQ(form().setlowl.text(), QStringLiteral("20"));
}

} // namespace
} // namespace zavok::test
