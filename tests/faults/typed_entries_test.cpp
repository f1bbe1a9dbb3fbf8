#include "kit/line_encoding.h"
#include "kit/numbers.h"
#include "support/harness.h"

#include <gtest/gtest.h>

namespace zavok::test {
namespace {

// What users can type that the ordinary tests do not: blanks only, ten thousand characters, numbers too large
// for a double, exponents, a negative zero and double quotes. Each entry either refuses with its message and keeps
// the previous value, or takes the text and lives with it: it is shown, saved and read back at the next start.

const QString kHuge = QString(10000, u'7');
// Ten thousand characters that read as 5.
const QString kLongFive = QString(9999, u'0') + u'5';

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Ends the run in order and starts the program again on what it saved.
Zavok& restart(Harness& h) {
    h.zavok->shutdown();
    h.zavok.reset();
    return h.start();
}

TEST(TypedEntries, CircuitNamesAreShownAsTypedAndComeBackAsSaved) {
    const struct {
        const char* name;
        QString typed;
        QString restored; // what the next start shows
    } rows[] = {
        {"blank", s("   "), s("   ")},
        {"ten thousand characters", kHuge, kHuge},
        {"a number too large", s("1e999"), s("1e999")},
        {"negative zero", s("-0"), s("-0")},
        {"quotes and a comma", s("Tank 1, \"north\""), s("Tank 1, 'north'")},
        {"a line break", s("two\r\nlines"), s("two  lines")},
        {"beyond Latin-1", s("Küche €"), s("Küche ?")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        h.dialogs.answerInput(row.typed);
        z.zavok->clabel[2]->click();
        EXPECT_EQ(z.zavok->clabel[2]->text(), QString(row.typed).replace(u'"', u'\''));
        EXPECT_EQ(h.bytes(h.dataPath(QStringLiteral("apnames.zvk"))).count("\r\n"), 4);
        Zavok& again = restart(h);
        EXPECT_EQ(again.zavok->clabel[2]->text(), row.restored);
        EXPECT_EQ(again.zavok->clabel[3]->text(), QStringLiteral("Freezer Alarm")) << "its neighbours are whole";
    }
}

TEST(TypedEntries, ChannelNamesTakeTwelveCharactersAndNoQuote) {
    const struct {
        const char* name;
        QString typed;
        QString kept;
    } rows[] = {
        {"empty", s(""), s("")},
        {"blank", s("  "), s("  ")},
        {"ten thousand characters", kHuge, kHuge.left(12)},
        {"a number too large", s("1e999"), s("1e999")},
        {"quotes and a comma", s("6\" main, N"), s("6' main, N")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        ChannelForm& w = z.channel(2);
        w.fname.doubleClick();
        w.fname.typed(row.typed);
        w.setname.click();
        EXPECT_EQ(w.fname.text(), row.kept);
        EXPECT_EQ(z.zavok->flabel[1]->text(), row.kept);
        EXPECT_EQ(z.zavoktimer->time[2]->text(), row.kept);
        // The zone's return to its name is logged under the new name, quotes and all inside one field.
        EXPECT_EQ(h.logLines().last(),
                  kit::quotedField(row.kept + QStringLiteral(" Normal at")) + ",\"08:15:20 AM\",\"July 13,2001\"");
        Zavok& again = restart(h);
        EXPECT_EQ(again.channel(2).fname.text(), row.kept);
        EXPECT_EQ(again.zavok->flabel[1]->text(), row.kept);
    }
}

// The previous limits are "10" and "90", on a meter from 0 to 100.
TEST(TypedEntries, AlarmLimitsAreRefusedUnlessBothAreNumbersOnTheMeter) {
    const QString lowOff = s("Please enter a value for LOW ALARM between 0 and 100");
    const QString highOff = s("Please enter a value for HIGH ALARM between 0 and 100");
    const struct {
        const char* name;
        QString low, high;
        QString message; // empty when the pair is taken
    } rows[] = {
        {"blank", s("   "), s("90"), lowOff},
        {"too large for a double", s("1e999"), s("90"), lowOff},
        {"too small for a double", s("10"), s("-1e999"), highOff},
        {"the largest double", s("10"), s("1e308"), highOff},
        {"quoted", s("\"10\""), s("90"), lowOff},
        {"not a number by name", s("nan"), s("inf"), lowOff},
        {"exponents", s("2e1"), s("8E+1"), s("")},
        {"negative zero", s("-0"), s("1e2"), s("")},
        {"underflow reads as zero", s("1e-999"), s("50"), s("")},
        {"ten thousand characters", kLongFive, s("90"), s("")},
        {"ten thousand digits", kHuge, s("90"), lowOff},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        ChannelForm& w = z.channel(1);
        w.setlowl.setText(s("10"));
        w.sethighl.setText(s("90"));
        w.changealarm.click();
        w.setnewlowt.typed(row.low);
        w.setnewhight.typed(row.high);
        w.setcom.click();
        if (row.message.isEmpty()) {
            EXPECT_TRUE(h.dialogs.asked.empty());
            EXPECT_EQ(w.setlowl.text(), row.low) << "kept as typed";
            EXPECT_EQ(w.sethighl.text(), row.high);
            // Compared as the numbers they read as: a value below the low limit is a low alarm.
            h.joysticks.stick[0].wXpos = 1310; // reads 2
            w.enable.click();
            h.scheduler.advance(1000);
            EXPECT_EQ(z.zavok->flabel[0]->text(), kit::prefixValue(row.low) > 2 ? s("LOW ALARM") : s("Pressure"));
            Zavok& again = restart(h);
            EXPECT_EQ(again.channel(1).setlowl.text(), row.low);
            EXPECT_EQ(again.channel(1).sethighl.text(), row.high);
        } else {
            ASSERT_EQ(h.dialogs.asked.size(), 1u);
            EXPECT_EQ(h.dialogs.asked[0].text, row.message);
            EXPECT_EQ(w.setlowl.text() + u'/' + w.sethighl.text(), s("10/90"));
            EXPECT_TRUE(w.setcom.isVisible()) << "editing again";
        }
    }
}

TEST(TypedEntries, CalibrationReadingsAreTakenWhenNumericAndStoredOnlyWhenTheRangeHolds) {
    const QString zeroWarning = s("Please enter a value equal to your sensor minimum in the ONLINE ZERO VALUE BOX "
                                  "before you press SET ZERO");
    const QString fullWarning = s("Please enter a value equal to your sensor maximum in the ONLINE F.S.D VALUE BOX "
                                  "before you press SET F.S.D");
    const struct {
        const char* name;
        QString zero, full;
        QString warning;   // the one warning shown, if any
        bool stored;       // whether FINALIZE stores the pair
        const char* value; // the zone's value at axis 32750 afterwards
    } rows[] = {
        {"blank zero", s("  "), s("65535"), zeroWarning, false, "50"},
        {"quoted full scale", s("0"), s("\"65535\""), fullWarning, false, "50"},
        {"exponents", s("-0"), s("6.55e4"), s(""), true, "50"},
        {"ten thousand characters", kLongFive, s("65505"), s(""), true, "50"},
        // Infinity minus infinity is no range at all: refused, and the old calibration stays.
        {"both beyond a double", s("1e999"), s("1e999"), s(""), false, "50"},
        {"a full scale beyond a double", s("0"), s("1e999"), s(""), true, "0"},
        {"zero above full scale", s("1e308"), s("-1e308"), s(""), false, "50"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        ChannelForm& w = z.channel(1);
        w.calibrate.click();
        w.auto_.click(); // MANUAL
        w.calzerot.typed(row.zero);
        w.calsetzerocom.click();
        w.calfsdt.typed(row.full);
        w.calsetfsdcom.click();
        w.calfincom.click();
        QStringList warnings;
        for (const auto& asked : h.dialogs.asked) {
            warnings << asked.text;
        }
        EXPECT_EQ(warnings, row.warning.isEmpty() ? QStringList() : QStringList{row.warning});
        const QString pair = w.calzvall.text() + u'/' + w.calfvall.text();
        EXPECT_EQ(pair, row.stored ? row.zero + u'/' + row.full : s("0/65500"));
        h.joysticks.stick[0].wXpos = 32750;
        w.enable.click();
        h.scheduler.advance(1000);
        EXPECT_EQ(z.zavok->value[0]->text(), s(row.value));
        const ChannelForm& again = restart(h).channel(1);
        EXPECT_EQ(again.calzvall.text() + u'/' + again.calfvall.text(), pair);
    }
}

TEST(TypedEntries, MeterScalesAskAgainUntilTheAnswersAreNumbersInRange) {
    const QString lowError = s("ERROR : Type the low value for the meter between 0 to 100");
    const QString fullError = s("ERROR : Type the full scale value for the meter between 0 to 500");
    const struct {
        const char* name;
        QStringList answers;
        QStringList messages;
        const char* low;
        const char* full;
    } rows[] = {
        {"blank", {s("   "), s("1"), s("2")}, {lowError}, "1", "2"},
        {"beyond a double",
         {s("1e999"), s("-1e999"), s("1"), s("1e999"), s("2")},
         {lowError, lowError, fullError},
         "1",
         "2"},
        {"the largest double", {s("1"), s("1e308"), s("2")}, {fullError}, "1", "2"},
        {"quoted", {s("\"5\""), s("5"), s("\"50\""), s("50")}, {lowError, fullError}, "5", "50"},
        {"not a number by name", {s("nan"), s("inf"), s("0"), s("9")}, {lowError, lowError}, "0", "9"},
        {"underflow reads as zero", {s("1e-999"), s("9")}, {}, "0", "9"},
        {"ten thousand characters", {kLongFive, kHuge, QString(9998, u'0') + s("50")}, {fullError}, "5", "50"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        for (const QString& answer : row.answers) {
            h.dialogs.answerInput(answer);
        }
        z.zavok->mzero[1]->click();
        QStringList messages;
        for (const auto& asked : h.dialogs.asked) {
            if (asked.kind == QStringLiteral("message")) {
                messages << asked.text;
            }
        }
        EXPECT_EQ(messages, row.messages);
        EXPECT_EQ(z.zavok->mzero[1]->text(), s(row.low));
        EXPECT_EQ(z.zavok->mfsd[1]->text(), s(row.full));
    }
}

} // namespace
} // namespace zavok::test
