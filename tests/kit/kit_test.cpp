#include "kit/clock_texts.h"
#include "kit/control.h"
#include "kit/desktop.h"
#include "kit/line_encoding.h"
#include "kit/loaded_library.h"
#include "kit/numbers.h"
#include "kit/printable.h"
#include "kit/timer.h"
#include "kit/virtual_scheduler.h"
#include "kit/window.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

namespace zavok::kit {
namespace {

using namespace Qt::StringLiterals;

TEST(Numbers, ReadTheLeadingNumberOrTheWholeTextRoundHalvesToEvenSaturateAndWriteInGeneralFormat) {
    const std::pair<const char*, double> cases[] = {
        {"DIS", 0},       {"", 0},     {"  ", 0},      {"50", 50},     {" 25", 25},   {"-1", -1},
        {"+7", 7},        {".5", 0.5}, {"1e3", 1000},  {"1E-2", 0.01}, {"2e", 2},     {"2e+", 2},
        {"12.5kg", 12.5}, {"1 2", 12}, {"3.4.5", 3.4}, {"-", 0},       {"abc12", 0},  {"-0", 0},
        {"0x10", 0},      {"inf", 0},  {"nan", 0},     {"1,5", 1},     {"1e-999", 0}, {"32767.45", 32767.45}};
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(prefixValue(QString::fromLatin1(text)), value) << text;
    }
    EXPECT_TRUE(std::isinf(prefixValue(u"1e999"_s)));
    EXPECT_DOUBLE_EQ(prefixValue(QString(100000, u'9')), std::strtod(std::string(100000, '9').c_str(), nullptr));
    for (const char* yes : {"0", " 500", "500 ", "-1", "+2", "10.4", ".5", "5.", "1e3", "1E-3", "-0"}) {
        EXPECT_TRUE(isNumericText(QString::fromLatin1(yes))) << yes;
    }
    for (const char* no : {"", " ", "abc", "1a", "1e", "e3", "1 2", ".", "-", "1,5", "0x10", "inf", "nan", "\"5\""}) {
        EXPECT_FALSE(isNumericText(QString::fromLatin1(no))) << no;
    }
    // Every text of up to four characters from the ones that matter, against the pattern it must read as.
    const QRegularExpression pattern(u"^[ \\t]*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?[ \\t]*$"_s);
    const QString alphabet = u" \t+-.e5\n\r\u0663"_s;
    std::vector<QString> texts{QString()};
    for (std::size_t from = 0, length = 0; length < 4; ++length) {
        const std::size_t to = texts.size();
        for (std::size_t t = from; t < to; ++t) {
            for (const QChar c : alphabet) {
                texts.push_back(texts.at(t) + c);
            }
        }
        from = to;
    }
    for (const QString& text : texts) {
        EXPECT_EQ(isNumericText(text), pattern.match(text).hasMatch()) << printable(text).toStdString();
    }
    const std::pair<double, int> toInts[] = {{2.5, 2},          {3.5, 4},         {-2.5, -2},
                                             {12.5, 12},        {13.5, 14},       {499.6, 500},
                                             {std::nan(""), 0}, {1e300, INT_MAX}, {-HUGE_VAL, INT_MIN}};
    for (const auto& [value, rounded] : toInts) {
        EXPECT_EQ(toInt(value), rounded) << value;
    }
    EXPECT_EQ((std::vector{toInt16(40000), toInt16(-40000.0), toInt16(32766.5)}),
              (std::vector<qint16>{32767, -32768, 32766}));
    EXPECT_EQ((QStringList{numberText(50), numberText(-3), numberText(32767.45), numberText(-0.0), numberText(1)}),
              (QStringList{u"50"_s, u"-3"_s, u"32767.45"_s, u"0"_s, u"1"_s}));
    EXPECT_EQ((QStringList{singleText(1440.0f), singleText(-120.0f), singleText(1020.5f)}),
              (QStringList{u"1440"_s, u"-120"_s, u"1020.5"_s}));
    // A number text says what numberText says, whether its text was made once or at the change.
    NumberText shown;
    for (const double value : {0.0, -0.0, 7.0, 255.0, 256.0, -1.0, 254.5, 1e15, std::nan(""), 100.0, 100.0}) {
        EXPECT_EQ(shown.of(value), numberText(value)) << value;
    }
    // The offered sampling times convert exactly; damaged ones stay within range.
    const std::pair<const char*, int> periods[] = {{"0.1", 100},  {"0.5", 500},   {"2", 2000},
                                                   {"60", 60000}, {"0", 100},     {"abc", 100},
                                                   {"-5", 100},   {"1e9", 60000}, {"1e999", 60000}};
    for (const auto& [seconds, period] : periods) {
        EXPECT_EQ(samplingPeriod(QString::fromLatin1(seconds)), period) << seconds;
    }
}

TEST(LineEncoding, WritesWhatNoReaderCanMisreadAndReadsItsFieldsAlsoFromDamage) {
    EXPECT_EQ(line({quotedField(u"Tank 1, north"_s)}) + line({quotedField(QString())}) + line({"1440"_ba}) +
                  line({quotedField(u"a"_s), quotedField(u"b"_s)}),
              "\"Tank 1, north\"\r\n\"\"\r\n1440\r\n\"a\",\"b\"\r\n"_ba);
    EXPECT_EQ(quotedField(u"say \"hi\""_s) + quotedField(u"two\r\nlines"_s) + quotedField(u"Küche €"_s),
              "\"say 'hi'\"\"two  lines\"\"K\374che ?\""_ba);
    // Quoted, blanks and Latin-1 letters are the text's own.
    EXPECT_EQ(readFields("\"Tank 1, north\"\r\n\"\"\r\n\" 25\"\r\n\"K\374che\"\r\n", 4),
              (QStringList{u"Tank 1, north"_s, QString(), u" 25"_s, QString::fromLatin1("K\374che")}));
    // Short: the missing fields come back empty. Long: the rest is ignored.
    EXPECT_EQ(readFields("\"a\"\r\n", 3), (QStringList{u"a"_s, QString(), QString()}));
    EXPECT_EQ(readFields("1\r\n2\r\n3\r\n", 2), (QStringList{u"1"_s, u"2"_s}));
    // Bare tokens, blanks before a field, commas as separators, LF-only line ends.
    EXPECT_EQ(readFields("  12 , -3\n\"x\"", 3), (QStringList{u"12"_s, u"-3"_s, u"x"_s}));
    // Junk after a closing quote belongs to no field.
    EXPECT_EQ(readFields("\"a\"junk,\"b\"\r\n", 2), (QStringList{u"a"_s, u"b"_s}));
    // A quote left open runs to the next quote, across line ends; one never closed takes the rest of the file.
    EXPECT_EQ(readFields("\"open\r\n\"x\"", 2), (QStringList{u"open\r\n"_s, QString()}));
    EXPECT_EQ(readFields("\"open\r\nrest", 2), (QStringList{u"open\r\nrest"_s, QString()}));
    // NUL bytes and binary are just Latin-1 characters.
    EXPECT_EQ(readFields(QByteArray("\"a\0b\"", 5), 1), QStringList{QString::fromLatin1("a\0b", 3)});
    EXPECT_EQ(readFields(QByteArray(), 2), (QStringList{QString(), QString()}));
}

QDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// A clock that hands out the moments it is given, one per reading.
class ScriptedClock final : public Clock {
public:
    mutable std::vector<QDateTime> moments;
    QDateTime now() const override {
        const QDateTime next = moments.front();
        moments.erase(moments.begin());
        return next;
    }
};

TEST(Printable, EscapesEveryControlCharacterAndItsOwnEscapeAndCutsALongText) {
    const std::pair<QString, QString> cases[] = {
        {u"plain text, \u00e4 and \u20ac"_s, u"plain text, \u00e4 and \u20ac"_s},
        {u"x\nzavok: forged\x1b[2J"_s, u"x\\nzavok: forged\\e[2J"_s},
        {u"\r\t\x01\x7f\u0085\u2028"_s, u"\\r\\t\\x01\\x7f\\x85\\u2028"_s},
        {u"a\\nb"_s, u"a\\\\nb"_s},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(printable(text), shown);
    }
    EXPECT_EQ(printable(QString(20'000'000, u'x'), 5), u"xxxxx..."_s);
    EXPECT_EQ(printable(u"12345"_s, 5), u"12345"_s);
}

TEST(ClockTexts, TwelveHourTimeDateAndLogDayFollowTheLocaleAndARefreshReadsTheClockOnceForEachText) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(formatNowtime(at(2001, 7, 13, 12, 0, 3), english), u"12:00:03 PM"_s);
    EXPECT_EQ(formatNowtime(at(2001, 7, 14, 14, 5, 9), english), u"02:05:09 PM"_s);
    EXPECT_EQ(formatNowdate(at(2026, 1, 5, 9, 0, 0), english), u"January 05,2026"_s);
    EXPECT_EQ(formatNowdate(at(2026, 3, 1, 9, 0, 0), QLocale(QLocale::German, QLocale::Germany)), u"März 01,2026"_s);
    // The log day takes three letters of the month in every locale; the full month names and the morning and
    // afternoon texts stay as the locale has them.
    const std::tuple<const char*, int, QString> cases[] = {
        {"en_US", 1, u"Jan 13"_s}, {"en_GB", 9, u"Sep 13"_s}, {"en_AU", 6, u"Jun 13"_s}, {"en_AU", 7, u"Jul 13"_s},
        {"de_DE", 1, u"Jan 13"_s}, {"de_DE", 3, u"Mär 13"_s}, {"fr_FR", 2, u"fév 13"_s}, {"fr_FR", 5, u"mai 13"_s}};
    for (const auto& [locale, month, logday] : cases) {
        EXPECT_EQ(formatLogday(at(2026, month, 13, 9, 0, 0), QLocale(QString::fromLatin1(locale))), logday)
            << locale << " month " << month;
    }
    EXPECT_EQ(formatNowtime(at(2026, 9, 14, 15, 0, 0), QLocale(u"en_GB"_s)), u"03:00:00 pm"_s);
    ScriptedClock clock;
    ClockTexts texts;
    const auto refreshAt = [&](std::vector<QDateTime> readings) {
        clock.moments = std::move(readings);
        refresh(texts, clock, english);
        EXPECT_TRUE(clock.moments.empty()) << "three readings, one per text";
    };
    const QDateTime evening = at(2001, 7, 13, 23, 59, 59);
    refreshAt({evening, evening, evening});
    // Midnight falls between the readings of one refresh: each text follows its own reading.
    refreshAt({evening.addMSecs(900), evening.addSecs(1), evening.addSecs(1)});
    EXPECT_EQ(texts.nowtime + u'|' + texts.nowdate + u'|' + texts.logday, u"11:59:59 PM|July 14,2001|Jul 14"_s);
    refreshAt(std::vector(3, at(2002, 7, 14, 0, 0, 0)));
    EXPECT_EQ(texts.nowtime + u'|' + texts.nowdate, u"12:00:00 AM|July 14,2002"_s);
}

TEST(Controls, ChangesReachHandlersAndObserversAndTheUsersEventsOnlyEnabledVisibleControlsWithinTheirLimits) {
    VirtualScheduler scheduler;
    Desktop desktop{scheduler};
    Window window{desktop, u"w"_s, {}};
    Label& value = window.add<Label>(u"value1"_s, {.text = u"1"_s});
    Label& zone = window.add<Label>(u"flabel1"_s, {});
    QStringList seen;
    value.onChange = [&] {
        seen.append(value.text());
        zone.setText(u"HIGH ALARM"_s);
        seen.append(u"value done"_s);
    };
    zone.onChange = [&] { seen.append(zone.text()); };
    value.setText(u"1"_s);
    value.setText(u"0"_s);
    value.setText(u"0"_s);
    value.setText(QString());
    EXPECT_EQ(seen, (QStringList{u"0"_s, u"HIGH ALARM"_s, u"value done"_s, QString(), u"value done"_s}));
    // Observers hear of every property that changes, and of nothing else.
    std::vector<Property> changed;
    QObject::connect(&zone, &Control::changed, [&](Property p) { changed.push_back(p); });
    zone.setBack({255, 0, 0});
    zone.setBack({255, 0, 0});
    zone.setEnabled(false);
    zone.setVisible(false);
    zone.setLeft(10);
    zone.setTop(10);
    zone.setTop(10);
    zone.setText(u"x"_s);
    EXPECT_EQ(changed, (std::vector{Property::Back, Property::Enabled, Property::Visible, Property::Place,
                                    Property::Place, Property::Text}));
    Button& button = window.add<Button>(u"b"_s, {});
    int clicks = 0;
    button.onClick = [&] { ++clicks; };
    button.onDoubleClick = [&] { ++clicks; };
    button.click();
    button.setEnabled(false);
    button.click();
    button.doubleClick();
    button.setEnabled(true);
    button.setVisible(false);
    button.click();
    EXPECT_EQ(clicks, 1);
    TextBox& box = window.add<TextBox>(u"fname"_s, {.maxLength = 12});
    box.typed(u"A much too long name"_s);
    box.setLocked(true);
    box.typed(u"locked"_s);
    box.setLocked(false);
    box.setEnabled(false);
    box.typed(u"disabled"_s);
    EXPECT_EQ(box.text(), u"A much too l"_s);
    box.setText(u"the program may always write"_s); // only the user is held to the limits
    EXPECT_EQ(box.text(), u"the program may always write"_s);
    ComboBox& combo = window.add<ComboBox>(u"sec1"_s, {.text = u"0.5"_s}, nullptr, QStringList{u"0.1"_s, u"2"_s});
    QStringList applied;
    combo.onClick = [&] { applied.append(combo.text()); };
    combo.typed(u"7"_s);
    combo.chosen(1);
    combo.chosen(2);
    combo.chosen(-1);
    EXPECT_EQ(applied, QStringList{u"2"_s});
    // Only an enabled control can be dropped, and only one can take the focus.
    Image& image = window.add<Image>(u"Image1"_s, {});
    Label& indicator = window.add<Label>(u"Label2"_s, {.draggable = true});
    std::vector<std::tuple<Control*, float, float>> drops;
    image.onDrop = [&](Control& c, float x, float y) { drops.emplace_back(&c, x, y); };
    image.dropped(indicator, 1000, 500);
    indicator.setEnabled(false);
    image.dropped(indicator, 1, 1);
    EXPECT_EQ(drops, (std::vector{std::tuple<Control*, float, float>(&indicator, 1000, 500)}));
    indicator.setFocus(); // disabled: refused
    EXPECT_EQ(window.focus(), nullptr);
    image.setFocus();
    EXPECT_TRUE(image.hasFocus());
    EXPECT_EQ(window.control(u"Label2"_s), &indicator);
}

using Ticks = std::vector<std::pair<QString, qint64>>;

// Timers on virtual time, each tick noted with the timer's name and the moment.
struct TimerTest : ::testing::Test {
    void watch(Timer& t) {
        t.onTick = [this, &t] { ticks.emplace_back(t.name(), s.now()); };
    }
    VirtualScheduler s;
    Ticks ticks;
};

TEST_F(TimerTest, FiresEveryIntervalWithoutDriftAndInDueOrder) {
    Timer fast(s, u"fast"_s, 100, true);
    Timer slow(s, u"slow"_s, 250, true);
    watch(fast);
    watch(slow);
    // Those who watch from outside hear of each tick once it is over.
    std::vector<QString> heard;
    QObject::connect(&fast, &Timer::ticked, [&] { heard.push_back(ticks.back().first); });
    s.advance(500);
    EXPECT_EQ(heard, std::vector<QString>(5, u"fast"_s));
    const QString f = u"fast"_s;
    const QString l = u"slow"_s;
    EXPECT_EQ(ticks, (Ticks{{f, 100}, {f, 200}, {l, 250}, {f, 300}, {f, 400}, {f, 500}, {l, 500}}));
    s.advance(3'600'000);
    EXPECT_EQ(std::count_if(ticks.begin(), ticks.end(), [&](const auto& t) { return t.first == f; }), 36005);
}

TEST_F(TimerTest, NewPeriodsStartWhenTheyShouldAndATickMayDestroyAnotherTimer) {
    Timer bell(s, u"Timer2"_s, 500, false);
    Timer dead(s, u"dead"_s, 0, true);
    watch(bell);
    watch(dead);
    s.advance(100);
    bell.setEnabled(true); // period starts now: first tick at 600
    for (int i = 0; i < 4; ++i) {
        s.advance(100);
        bell.setEnabled(true); // re-enabling every poll must not restart the period
    }
    s.advance(100);
    bell.setInterval(500); // the same interval: no restart
    s.advance(500);
    bell.setEnabled(false);
    s.advance(5000);
    // From 6100 on, a new interval set inside a tick counts from that tick.
    Timer poll(s, u"Timer1"_s, 100, true);
    poll.onTick = [&] {
        ticks.emplace_back(poll.name(), s.now());
        poll.setInterval(500);
    };
    auto victim = std::make_unique<Timer>(s, u"victim"_s, 100, true);
    Timer killer(s, u"killer"_s, 100, true);
    watch(*victim);
    killer.onTick = [&] { victim.reset(); };
    s.advance(1200);
    const Ticks expected{{u"Timer2"_s, 600},  {u"Timer2"_s, 1100}, {u"Timer1"_s, 6200},
                         {u"victim"_s, 6200}, {u"Timer1"_s, 6700}, {u"Timer1"_s, 7200}};
    EXPECT_EQ(ticks, expected);
}

TEST_F(TimerTest, ATickMayDestroyItsOwnTimerEvenInATickNestedInIt) {
    auto self = std::make_unique<Timer>(s, u"self"_s, 100, true);
    int heard = 0;
    QObject::connect(self.get(), &Timer::ticked, [&] { ++heard; });
    int depth = 0;
    self->onTick = [&] {
        // As a box's event loop would, the first tick runs the next one inside it, and that one ends the timer.
        if (++depth == 1) {
            self->fire();
        } else {
            self.reset();
        }
    };
    s.advance(100);
    EXPECT_EQ(self, nullptr);
    EXPECT_EQ(depth, 2);
    EXPECT_EQ(heard, 0); // no one hears of a tick whose timer is gone
    s.advance(1000);
    EXPECT_EQ(depth, 2);
}

// A library loaded on demand gives its functions, or says what is missing: never a null function reported as found.
TEST(LoadedLibrary, FindsWhatTheLibraryHasAndNamesTheFirstThingMissing) {
    LoadedLibrary math("libm.so.6");
    double (*cosine)(double) = nullptr;
    math.find("cos", cosine);
    ASSERT_NE(cosine, nullptr) << math.why().toStdString();
    EXPECT_EQ(cosine(0), 1);
    EXPECT_TRUE(math.why().isEmpty());
    double (*missing)(double) = cosine;
    math.find("zavok_no_such_function", missing);
    EXPECT_EQ(missing, nullptr);
    EXPECT_TRUE(math.why().contains(u"zavok_no_such_function"_s)) << math.why().toStdString();
    // Once something is missing the library counts as unusable: a later find finds nothing.
    math.find("sin", cosine);
    EXPECT_EQ(cosine, nullptr);

    LoadedLibrary absent("libzavok-no-such-library.so.0");
    absent.find("cos", cosine);
    EXPECT_EQ(cosine, nullptr);
    EXPECT_TRUE(absent.why().contains(u"libzavok-no-such-library.so.0"_s)) << absent.why().toStdString();
}

} // namespace
} // namespace zavok::kit
