#include "platform/simulator_state.h"
#include "ui/simulator_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QWindow>

#include <gtest/gtest.h>

namespace zavok::ui {
namespace {

class SimulatorPanelTest : public ::testing::Test {
protected:
    template <class T> T& find(const char* name) {
        T* widget = panel.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    quint32 axis(int id, quint32 kit::JOYINFO::*field) {
        kit::JOYINFO info;
        state.joyGetPos(id, info);
        return info.*field;
    }

    platform::SimulatorState state;
    SimulatorPanel panel{state};
};

TEST_F(SimulatorPanelTest, EachSwitchAndSliderDrivesItsOwnInput) {
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("ZAVOK input simulator"));
    EXPECT_EQ(find<QSlider>("axis1").value(), 32768);
    EXPECT_EQ(find<QLabel>("value1").text(), QStringLiteral("32768"));

    find<QCheckBox>("contact2").setChecked(true);
    EXPECT_EQ(state.Inzavok(513), 0xDF);
    find<QCheckBox>("contact2").setChecked(false);
    EXPECT_EQ(state.Inzavok(513), 0xFF);

    find<QSlider>("axis3").setValue(65535);
    find<QSlider>("axis2").setValue(0);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wXpos), 65535u);
    EXPECT_EQ(axis(0, &kit::JOYINFO::wYpos), 0u);
    EXPECT_EQ(find<QLabel>("value3").text(), QStringLiteral("65535"));

    find<QCheckBox>("nosignal4").setChecked(true);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 0u);
    EXPECT_FALSE(find<QSlider>("axis4").isEnabled());
    EXPECT_EQ(find<QLabel>("value4").text(), QStringLiteral("0"));
    find<QCheckBox>("nosignal4").setChecked(false);
    EXPECT_EQ(axis(1, &kit::JOYINFO::wYpos), 32768u);
}

TEST_F(SimulatorPanelTest, ItsCloseBoxKeepsItWithinReach) {
    panel.show();
    EXPECT_FALSE(panel.windowHandle()->close()); // as the window system's close box does
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.isMinimized());
}

} // namespace
} // namespace zavok::ui
