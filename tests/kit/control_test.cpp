#include "kit/control.h"
#include "kit/desktop.h"
#include "kit/timer.h"
#include "kit/virtual_scheduler.h"
#include "kit/window.h"

#include <QPointF>

#include <gtest/gtest.h>

#include <memory>

namespace zavok::kit {
namespace {

using namespace Qt::StringLiterals;

class ControlTest : public ::testing::Test {
protected:
    VirtualScheduler scheduler;
    Desktop desktop{scheduler};
    Window window{desktop, u"w"_s, {}};
};

TEST_F(ControlTest, ChangeHandlersRunOnlyForADifferentTextInsideTheSetterInTheOrderWritten) {
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
    EXPECT_TRUE(seen.isEmpty());
    value.setText(u"0"_s);
    value.setText(u"0"_s);
    value.setText(QString());
    EXPECT_EQ(seen, (QStringList{u"0"_s, u"HIGH ALARM"_s, u"value done"_s, QString(), u"value done"_s}));
}

TEST_F(ControlTest, ObserversSeeEveryPropertyThatChangesAndNothingElse) {
    Label& label = window.add<Label>(u"l"_s, {});
    std::vector<Property> seen;
    QObject::connect(&label, &Control::changed, [&](Property p) { seen.push_back(p); });
    label.setBack({255, 0, 0});
    label.setBack({255, 0, 0});
    label.setEnabled(false);
    label.setVisible(false);
    label.setLeft(10);
    label.setTop(10);
    label.setTop(10);
    label.setText(u"x"_s);
    EXPECT_EQ(seen, (std::vector{Property::Back, Property::Enabled, Property::Visible, Property::Place, Property::Place,
                                 Property::Text}));
}

TEST_F(ControlTest, DisabledOrHiddenControlsTakeNoEvents) {
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
}

TEST_F(ControlTest, TypingHonoursLockEnabledAndMaximumLengthAndComboBoxesApplyOnlyAChoice) {
    TextBox& box = window.add<TextBox>(u"fname"_s, {.maxLength = 12});
    box.typed(u"A much too long name"_s);
    EXPECT_EQ(box.text(), u"A much too l"_s);
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
    combo.chosen(5);
    combo.chosen(-1);
    EXPECT_EQ(applied, QStringList{u"2"_s});
    EXPECT_EQ(combo.text(), u"2"_s);
}

TEST_F(ControlTest, OnlyEnabledControlsCanBeDroppedAndFocusSkipsHiddenOnes) {
    Image& image = window.add<Image>(u"Image1"_s, {});
    Label& indicator = window.add<Label>(u"Label2"_s, {.draggable = true});
    int drops = 0;
    image.onDrop = [&](Control& c, float x, float y) {
        ++drops;
        EXPECT_EQ(&c, &indicator);
        EXPECT_EQ(QPointF(x, y), QPointF(1000, 500));
    };
    image.dropped(indicator, 1000, 500);
    indicator.setEnabled(false);
    image.dropped(indicator, 1, 1);
    EXPECT_EQ(drops, 1);

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

TEST_F(TimerTest, ZeroIntervalNeverFiresAndEnablingARunningTimerKeepsItsPeriod) {
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
    EXPECT_EQ(ticks, (Ticks{{u"Timer2"_s, 600}, {u"Timer2"_s, 1100}}));
    bell.setEnabled(false);
    s.advance(5000);
    EXPECT_EQ(ticks.size(), 2u);
}

TEST_F(TimerTest, ANewIntervalSetInsideATickCountsFromThatTickAndATickMayDestroyAnotherTimer) {
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
    EXPECT_EQ(ticks, (Ticks{{u"Timer1"_s, 100}, {u"victim"_s, 100}, {u"Timer1"_s, 600}, {u"Timer1"_s, 1100}}));
}

} // namespace
} // namespace zavok::kit
