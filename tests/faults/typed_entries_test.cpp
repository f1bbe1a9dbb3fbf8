#include "kit/line_encoding.h"
#include "kit/numbers.h"
#include "support/harness.h"

#include <gtest/gtest.h>

// What users can type that the ordinary tests do not: blanks only, ten thousand characters, numbers too large for a
// double, exponents, a negative zero and double quotes. Each entry either refuses with its message and keeps the
// previous value, or takes the text and lives with it: it is shown, saved and read back at the next start.
namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

const QString kHuge = QString(10000, u'7');
const QString kLongFive = QString(9999, u'0') + u'5'; // ten thousand characters that read as 5

// A circuit's name and a channel's name typed alike are shown as typed, but for the channel's twelve characters, and
// come back at the next start as saved. A name with characters that their files cannot give back is refused with a
// message that names them, and the previous name stays.
TEST(TypedEntries, NamesAreShownAsTypedAndComeBackAsSavedOrAreRefused) {
    const struct {
        const char* name;
        QString typed;
        QString refused; // the characters the message names; empty when the name is taken
    } rows[] = {
        {"empty", u""_s, {}},
        {"blank", u"   "_s, {}},
        {"ten thousand characters", kHuge, {}},
        {"a number too large", u"1e999"_s, {}},
        {"negative zero", u"-0"_s, {}},
        {"a comma and Latin-1", u"Tank 1, Küche"_s, {}},
        {"quotes", u"Tank 1, \"north\""_s, u"\""_s},
        {"a line break", u"two\r\nlines"_s, u"\\r \\n"_s},
        {"beyond Latin-1", u"Küche € 🔥€"_s, u"€ 🔥"_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        h.dialogs.answerInput(row.typed);
        z.zavok->clabel[2]->click();
        ChannelForm& w = z.channel(2);
        w.fname.doubleClick();
        w.fname.typed(row.typed);
        w.setname.click();
        const QString circuit = row.refused.isEmpty() ? row.typed : u"Tank Overflow"_s;
        const QString channel = row.refused.isEmpty() ? row.typed.left(12) : u"Volume"_s;
        QStringList told;
        for (const auto& asked : h.dialogs.asked) {
            if (asked.kind == u"message"_s) {
                told << asked.title + u'|' + asked.text;
            }
        }
        const auto message = [&row](const QString& kept) {
            return u"Caution|The settings files cannot keep these characters: %1\nThe name stays \"%2\"."_s.arg(
                row.refused, kept);
        };
        EXPECT_EQ(told, row.refused.isEmpty() ? QStringList() : (QStringList{message(circuit), message(channel)}));
        EXPECT_EQ(z.zavok->clabel[2]->text(), circuit);
        EXPECT_EQ(z.zavoktimer->time[2]->text(), channel);
        // The zone's return to its new name is logged under that name, commas and all inside one field.
        EXPECT_EQ(h.logLines().last().startsWith(kit::quotedField(channel + u" Normal at"_s)), row.refused.isEmpty());
        Zavok& again = h.restart();
        EXPECT_EQ(again.zavok->clabel[2]->text(), circuit);
        EXPECT_EQ(again.zavok->clabel[3]->text(), u"Freezer Alarm"_s) << "its neighbours are whole";
        EXPECT_EQ(again.channel(2).fname.text(), channel);
        EXPECT_EQ(again.zavok->flabel[1]->text(), channel);
    }
}

// The previous limits are "10" and "90", on a meter from 0 to 100.
TEST(TypedEntries, AlarmLimitsAreRefusedUnlessBothAreNumbersOnTheMeter) {
    const QString lowOff = u"Please enter a value for LOW ALARM between 0 and 100"_s;
    const QString highOff = u"Please enter a value for HIGH ALARM between 0 and 100"_s;
    const struct {
        const char* name;
        QString low, high;
        QString message; // empty when the pair is taken
    } rows[] = {
        {"blank", u"   "_s, u"90"_s, lowOff},
        {"too large for a double", u"1e999"_s, u"90"_s, lowOff},
        {"too small for a double", u"10"_s, u"-1e999"_s, highOff},
        {"the largest double", u"10"_s, u"1e308"_s, highOff},
        {"quoted", u"\"10\""_s, u"90"_s, lowOff},
        {"not a number by name", u"nan"_s, u"inf"_s, lowOff},
        {"exponents", u"2e1"_s, u"8E+1"_s, {}},
        {"negative zero", u"-0"_s, u"1e2"_s, {}},
        {"underflow reads as zero", u"1e-999"_s, u"50"_s, {}},
        {"ten thousand characters", kLongFive, u"90"_s, {}},
        {"ten thousand digits", kHuge, u"90"_s, lowOff},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Harness h;
        Zavok& z = h.start();
        ChannelForm& w = z.channel(1);
        w.setlowl.setText(u"10"_s);
        w.sethighl.setText(u"90"_s);
        w.changealarm.click();
        w.setnewlowt.typed(row.low);
        w.setnewhight.typed(row.high);
        w.setcom.click();
        const bool taken = row.message.isEmpty();
        EXPECT_EQ(h.dialogs.messages(), taken ? QStringList() : QStringList{row.message});
        // Kept as typed, or the previous pair kept and the editing goes on.
        EXPECT_EQ(w.setlowl.text() + u'/' + w.sethighl.text(), taken ? row.low + u'/' + row.high : u"10/90"_s);
        EXPECT_EQ(w.setcom.isVisible(), !taken);
        if (taken) {
            // Compared as the numbers they read as: a value below the low limit is a low alarm.
            h.joysticks.stick[0].wXpos = 1310; // reads 2
            w.enable.click();
            h.scheduler.advance(1000);
            EXPECT_EQ(z.zavok->flabel[0]->text(), kit::prefixValue(row.low) > 2 ? u"LOW ALARM"_s : u"Pressure"_s);
            const ChannelForm& again = h.restart().channel(1);
            EXPECT_EQ(again.setlowl.text() + u'/' + again.sethighl.text(), row.low + u'/' + row.high);
        }
    }
}

TEST(TypedEntries, CalibrationReadingsAreTakenWhenNumericAndStoredOnlyWhenTheRangeHolds) {
    const QString zeroWarning = u"Please enter a value equal to your sensor minimum in the ONLINE ZERO VALUE BOX "
                                "before you press SET ZERO"_s;
    const QString fullWarning = u"Please enter a value equal to your sensor maximum in the ONLINE F.S.D VALUE BOX "
                                "before you press SET F.S.D"_s;
    const struct {
        const char* name;
        QString zero, full;
        QString warning; // the one warning shown, if any
        bool stored;     // whether FINALIZE stores the pair
        QString value;   // the zone's value at axis 32750 afterwards
    } rows[] = {
        {"blank zero", u"  "_s, u"65535"_s, zeroWarning, false, u"50"_s},
        {"quoted full scale", u"0"_s, u"\"65535\""_s, fullWarning, false, u"50"_s},
        {"exponents", u"-0"_s, u"6.55e4"_s, {}, true, u"50"_s},
        {"ten thousand characters", kLongFive, u"65505"_s, {}, true, u"50"_s},
        // Infinity minus infinity is no range at all: refused, and the old calibration stays.
        {"both beyond a double", u"1e999"_s, u"1e999"_s, {}, false, u"50"_s},
        {"a full scale beyond a double", u"0"_s, u"1e999"_s, {}, true, u"0"_s},
        {"zero above full scale", u"1e308"_s, u"-1e308"_s, {}, false, u"50"_s},
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
        EXPECT_EQ(h.dialogs.messages(), row.warning.isEmpty() ? QStringList() : QStringList{row.warning});
        const QString pair = w.calzvall.text() + u'/' + w.calfvall.text();
        EXPECT_EQ(pair, row.stored ? row.zero + u'/' + row.full : u"0/65500"_s);
        h.joysticks.stick[0].wXpos = 32750;
        w.enable.click();
        h.scheduler.advance(1000);
        EXPECT_EQ(z.zavok->value[0]->text(), row.value);
        const ChannelForm& again = h.restart().channel(1);
        EXPECT_EQ(again.calzvall.text() + u'/' + again.calfvall.text(), pair);
    }
}

} // namespace
} // namespace zavok::test
