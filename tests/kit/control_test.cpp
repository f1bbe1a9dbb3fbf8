#include "kit/control.h"
#include "kit/desktop.h"
#include "kit/virtual_scheduler.h"
#include "kit/window.h"

#include <gtest/gtest.h>

namespace zavok::kit {
namespace {

class ControlTest : public ::testing::Test {
protected:
    VirtualScheduler scheduler;
    Desktop desktop{scheduler};
    Window window{desktop, QStringLiteral("w"), {}};
};

TEST_F(ControlTest, ChangeHandlerRunsOnlyForADifferentTextAndInsideTheSetter) {
    Label& label = window.add<Label>(QStringLiteral("a1label"), {.text = QStringLiteral("1")});
    QStringList seen;
    label.onChange = [&] { seen.append(label.text()); };
    label.setText(QStringLiteral("1"));
    EXPECT_TRUE(seen.isEmpty());
    label.setText(QStringLiteral("0"));
    label.setText(QStringLiteral("0"));
    label.setText(QString());
    EXPECT_EQ(seen, (QStringList{QStringLiteral("0"), QString()}));
}

TEST_F(ControlTest, NestedChangesRunInTheOrderTheyAreWritten) {
    Label& value = window.add<Label>(QStringLiteral("value1"), {.text = QStringLiteral("DIS")});
    Label& zone = window.add<Label>(QStringLiteral("flabel1"), {});
    QStringList order;
    value.onChange = [&] {
        order.append(QStringLiteral("value"));
        zone.setText(QStringLiteral("HIGH ALARM"));
        order.append(QStringLiteral("value done"));
    };
    zone.onChange = [&] { order.append(QStringLiteral("zone")); };
    value.setText(QStringLiteral("90"));
    EXPECT_EQ(order, (QStringList{QStringLiteral("value"), QStringLiteral("zone"), QStringLiteral("value done")}));
}

TEST_F(ControlTest, ObserversSeeEveryPropertyThatChangesAndNothingElse) {
    Label& label = window.add<Label>(QStringLiteral("l"), {});
    std::vector<Property> seen;
    QObject::connect(&label, &Control::changed, [&](Property p) { seen.push_back(p); });
    label.setBack({255, 0, 0});
    label.setBack({255, 0, 0});
    label.setEnabled(false);
    label.setVisible(false);
    label.setLeft(10);
    label.setTop(10);
    label.setTop(10);
    label.setText(QStringLiteral("x"));
    EXPECT_EQ(seen, (std::vector{Property::Back, Property::Enabled, Property::Visible, Property::Place, Property::Place,
                                 Property::Text}));
}

TEST_F(ControlTest, DisabledOrHiddenControlsTakeNoEvents) {
    Button& button = window.add<Button>(QStringLiteral("b"), {});
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

TEST_F(ControlTest, TypingHonoursLockEnabledAndMaximumLength) {
    TextBox& box = window.add<TextBox>(QStringLiteral("fname"), {.maxLength = 12});
    box.typed(QStringLiteral("A much too long name"));
    EXPECT_EQ(box.text(), QStringLiteral("A much too l"));
    box.setLocked(true);
    box.typed(QStringLiteral("locked"));
    box.setLocked(false);
    box.setEnabled(false);
    box.typed(QStringLiteral("disabled"));
    EXPECT_EQ(box.text(), QStringLiteral("A much too l"));
    box.setText(QStringLiteral("the program may always write")); // only the user is held to the limits
    EXPECT_EQ(box.text(), QStringLiteral("the program may always write"));
}

TEST_F(ControlTest, ComboBoxAppliesOnlyAChosenEntry) {
    ComboBox& combo = window.add<ComboBox>(QStringLiteral("sec1"), {.text = QStringLiteral("0.5")}, nullptr,
                                           QStringList{QStringLiteral("0.1"), QStringLiteral("2")});
    QStringList applied;
    combo.onClick = [&] { applied.append(combo.text()); };
    combo.typed(QStringLiteral("7"));
    combo.chosen(1);
    combo.chosen(5);
    combo.chosen(-1);
    EXPECT_EQ(applied, QStringList{QStringLiteral("2")});
    EXPECT_EQ(combo.text(), QStringLiteral("2"));
}

TEST_F(ControlTest, OnlyEnabledControlsCanBeDroppedAndFocusSkipsHiddenOnes) {
    Image& image = window.add<Image>(QStringLiteral("Image1"), {});
    Label& indicator = window.add<Label>(QStringLiteral("Label2"), {.draggable = true});
    int drops = 0;
    image.onDrop = [&](Control& c, float x, float y) {
        ++drops;
        EXPECT_EQ(&c, &indicator);
        EXPECT_EQ(x, 1000);
        EXPECT_EQ(y, 500);
    };
    image.dropped(indicator, 1000, 500);
    indicator.setEnabled(false);
    image.dropped(indicator, 1, 1);
    EXPECT_EQ(drops, 1);

    indicator.setFocus(); // disabled: refused
    EXPECT_EQ(window.focus(), nullptr);
    image.setFocus();
    EXPECT_TRUE(image.hasFocus());
    EXPECT_EQ(window.control(QStringLiteral("Label2")), &indicator);
}

} // namespace
} // namespace zavok::kit
