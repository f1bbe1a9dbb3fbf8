#include "platform/simulator_state.h"

#include <gtest/gtest.h>

namespace zavok::platform {
namespace {

constexpr int kGamePort = 513;

TEST(SimulatorState, ContactsRestOpenAndAClosureBetweenTwoReadsIsReportedOnce) {
    SimulatorState sim;
    EXPECT_EQ(sim.Inzavok(kGamePort), 0xFF);
    const int closedBytes[] = {0xEF, 0xDF, 0xBF, 0x7F};
    for (int c = 0; c < kContacts; ++c) {
        sim.setClosed(c, true);
        EXPECT_EQ(sim.Inzavok(kGamePort), closedBytes[c]) << "contact " << c;
        EXPECT_EQ(sim.Inzavok(kGamePort), closedBytes[c]) << "still closed, contact " << c;
        sim.setClosed(c, false);
        EXPECT_EQ(sim.Inzavok(kGamePort), 0xFF) << "contact " << c;
    }
    sim.setClosed(2, true);
    sim.setClosed(2, false);
    sim.setClosed(0, true);
    sim.setClosed(0, false);
    EXPECT_EQ(sim.Inzavok(kGamePort), 0xAF);
    EXPECT_EQ(sim.Inzavok(kGamePort), 0xFF);
}

TEST(SimulatorState, SlidersFeedTheirJoystickAxisAndNoSignalReadsZero) {
    SimulatorState sim;
    kit::JOYINFO info{1, 2, 3, 4}; // whatever the caller's record held must not leak through
    EXPECT_EQ(sim.joyGetPos(1, info), kJoyNoError);
    EXPECT_EQ(info.wXpos, 32768u);
    EXPECT_EQ(info.wYpos, 32768u);
    EXPECT_EQ(info.wZpos, 0u);
    EXPECT_EQ(info.wButtons, 0u);

    sim.setAxis(0, 0);
    sim.setAxis(1, 65535);
    sim.setAxis(2, 70000); // beyond the slider's ends: held at the end
    sim.setAxis(3, -5);
    sim.joyGetPos(0, info);
    EXPECT_EQ(info.wXpos, 0u);
    EXPECT_EQ(info.wYpos, 65535u);
    sim.joyGetPos(1, info);
    EXPECT_EQ(info.wXpos, 65535u);
    EXPECT_EQ(info.wYpos, 0u);

    sim.setAxis(3, 1234);
    sim.setNoSignal(2, true);
    sim.joyGetPos(1, info);
    EXPECT_EQ(info.wXpos, 0u);
    EXPECT_EQ(info.wYpos, 1234u);
    sim.setNoSignal(2, false);
    sim.joyGetPos(1, info);
    EXPECT_EQ(info.wXpos, 65535u);

    for (int id : {-1, 2}) {
        info = {1, 2, 3, 4};
        EXPECT_NE(sim.joyGetPos(id, info), kJoyNoError);
        EXPECT_EQ(info.wXpos + info.wYpos + info.wZpos + info.wButtons, 0u) << "joystick " << id;
    }
}

} // namespace
} // namespace zavok::platform
