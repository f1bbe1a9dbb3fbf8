#include "inputs/input_sources.h"
#include "inputs/sdl_joysticks.h"
#include "support/child_process.h"
#include "support/game_port.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <tuple>

// The real SDL code path, driven through SDL's virtual joysticks: no hardware, no display.
namespace zavok::inputs {
namespace {

using namespace Qt::StringLiterals;
using test::Channels;
using test::kGamePort;
using test::VirtualPad;
using State = std::tuple<int, Channels, QString>;

class SdlJoysticksTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qputenv("SDL_VIDEODRIVER", "dummy"); }
    // The port's byte, the four channels and the fault, read in the order of a poll tick and a channel tick.
    State read() {
        const int byte = sdl.Inzavok(kGamePort);
        return {byte, test::channels(sdl), sdl.fault()};
    }

    QStringList told;
    SdlJoysticks sdl{[this](const QString& line) { told << line; }};
};

TEST_F(SdlJoysticksTest, TwoSticksAreWiredAsTheClassicGamePort) {
    VirtualPad first(2, 2);
    VirtualPad second(4, 4); // a big pad that is not alone still serves only as joystick 2
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);
    // A button reads open at the first read after it is let go.
    const struct {
        VirtualPad& pad;
        int button;
        int byte;
    } presses[] = {{first, 0, 0xEF}, {first, 1, 0xDF}, {second, 0, 0xBF}, {second, 1, 0x7F}, {second, 2, 0xFF}};
    for (const auto& row : presses) {
        SCOPED_TRACE(row.byte);
        row.pad.press(row.button, true);
        EXPECT_EQ(sdl.Inzavok(kGamePort), row.byte);
        row.pad.press(row.button, false);
        EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);
    }
    // A press and release between two reads is reported once.
    first.press(1, true);
    sdl.pump();
    first.press(1, false);
    sdl.pump();
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xDF);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);
    // SDL's -32768..32767 onto 0..65535: both ends and the middle.
    first.tilt(0, -32768);
    first.tilt(1, 32767);
    second.tilt(0, 0);
    second.tilt(1, -1);
    second.tilt(2, -32768);
    EXPECT_EQ(test::channels(sdl), (Channels{0, 65535, 32768, 32767}));
}

TEST_F(SdlJoysticksTest, OnePadWithFourButtonsAndFourAxesServesAllEightInputs) {
    VirtualPad pad(6, 5);
    pad.press(3, true);
    pad.press(1, true);
    pad.tilt(0, 32767);
    pad.tilt(2, -32768);
    EXPECT_EQ(read(), State(0x5F, {65535, 32768, 0, 32768}, QString()));
    // With three buttons it is an ordinary joystick 1, and joystick 2 is absent: contacts 3 and 4, which the big pad
    // served, keep their last state.
    VirtualPad small(3, 4);
    pad.unplug();
    small.press(2, true);
    small.tilt(2, 32767);
    EXPECT_EQ(read(), State(0x7F, {32768, 32768, 0, 0}, u"joystick 2 was unplugged"_s));
}

TEST_F(SdlJoysticksTest, DevicesPluggedInAndPulledOutWhileRunningKeepTheirPlaces) {
    EXPECT_EQ(read(), State(0xFF, {0, 0, 0, 0}, u"no joystick is plugged in"_s));
    VirtualPad first(2, 2);
    VirtualPad second(2, 2);
    second.press(0, true);
    second.tilt(1, 32767);
    EXPECT_EQ(read(), State(0xBF, {32768, 32768, 32768, 65535}, QString()));
    first.unplug();
    EXPECT_EQ(read(), State(0xBF, {0, 0, 32768, 65535}, u"joystick 1 was unplugged"_s));
    // A newcomer takes the free place of joystick 1.
    VirtualPad third(2, 2);
    third.press(1, true);
    EXPECT_EQ(read(), State(0x9F, {32768, 32768, 32768, 65535}, QString()));
    EXPECT_TRUE(told.isEmpty());
    // With every pad gone, each joystick's channels say so in the same words as the port.
    second.unplug();
    third.unplug();
    EXPECT_EQ(std::get<QString>(read()), u"no joystick is plugged in"_s);
    EXPECT_EQ(sdl.fault(0), u"no joystick is plugged in"_s);
    EXPECT_EQ(sdl.fault(1), u"no joystick is plugged in"_s);
}

volatile std::sig_atomic_t terminations = 0;
extern "C" void countTermination(int) {
    terminations = terminations + 1;
}

TEST(SdlSignals, SigtermStillReachesTheProgramWithSdlRunning) {
    // Start from nothing: no SDL, no hints left by another test, default dispositions, no count from a repeat.
    SDL_Quit();
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    terminations = 0;
    SdlJoysticks sdl([](const QString&) {});
    ASSERT_TRUE(sdl.isAvailable());
    EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL) << "SDL took SIGINT";
    EXPECT_EQ(std::signal(SIGTERM, countTermination), SIG_DFL) << "SDL took SIGTERM";
    std::raise(SIGTERM);
    sdl.pump();
    std::signal(SIGTERM, SIG_DFL);
    EXPECT_EQ(terminations, 1);
}

TEST(SdlInputSources, AutoTakesTheJoysticksWhenOneIsPluggedInElseTheSimulator) {
    QStringList told;
    const auto make = [&told](InputOptions::Source source, bool headless) {
        auto made = InputSources::create({source, {}}, headless, [&told](const QString& line) { told << line; });
        auto* sources = std::get_if<std::unique_ptr<InputSources>>(&made);
        return sources != nullptr ? std::move(*sources) : nullptr;
    };
    using enum InputOptions::Source;
    const auto alone = make(Auto, false);
    const auto windowless = make(Auto, true);
    ASSERT_TRUE(alone && windowless);
    EXPECT_NE(alone->simulator(), nullptr);
    EXPECT_EQ(windowless->simulator(), nullptr) << "nobody could drive a simulator without a window";
    told.clear();
    const auto waiting = make(Joystick, false);
    ASSERT_TRUE(waiting);
    EXPECT_EQ(waiting->simulator(), nullptr);
    EXPECT_EQ(told, QStringList{QStringLiteral("zavok: no joystick is plugged in; the contacts stay at rest and the "
                                               "channels hold until one is")});
    SdlJoysticks keeper([](const QString&) {}); // keeps SDL running around the pad, which needs it
    VirtualPad pad(2, 2);
    pad.press(0, true);
    const auto withPad = make(Auto, false);
    ASSERT_TRUE(withPad);
    EXPECT_EQ(withPad->port().Inzavok(kGamePort), 0xEF);
}

// In a window, auto looks for joysticks when an input is first read (or the simulator first asked for), not when
// it is made; what it chose then serves from then on.
TEST(SdlInputSources, AutoInAWindowChoosesAtTheFirstReadAndKeepsItsChoice) {
    const auto make = [] {
        auto made = InputSources::create({InputOptions::Source::Auto, {}}, false, [](const QString&) {});
        return std::move(std::get<std::unique_ptr<InputSources>>(made));
    };
    SdlJoysticks keeper([](const QString&) {}); // keeps SDL running around the pad, which needs it
    const auto padFirst = make();
    const auto simulatorFirst = make();
    EXPECT_NE(simulatorFirst->simulator(), nullptr);
    VirtualPad pad(2, 2);
    pad.press(0, true);
    pad.tilt(1, 32767);
    EXPECT_EQ(padFirst->port().Inzavok(kGamePort), 0xEF);
    EXPECT_EQ(test::channels(padFirst->joysticks()), (Channels{32768, 65535, 0, 0}));
    EXPECT_EQ(padFirst->joysticks().fault(0), QString());
    EXPECT_EQ(padFirst->simulator(), nullptr);
    EXPECT_EQ(simulatorFirst->port().Inzavok(kGamePort), 0xFF) << "the pad came after the simulator was chosen";
}

// The sources pump SDL's events between the reads of the poll cycle, so that a press that ends between two reads is
// read once.
TEST(SdlInputSources, APressThatEndsBetweenTwoReadsIsReadOnce) {
    auto made = InputSources::create({InputOptions::Source::Joystick, {}}, false, [](const QString&) {});
    auto& sources = std::get<std::unique_ptr<InputSources>>(made);
    VirtualPad pad(2, 2);
    EXPECT_EQ(sources->port().Inzavok(kGamePort), 0xFF);
    pad.press(1, true);
    ASSERT_TRUE(test::eventually([&pad] { return pad.reads(1); }));
    pad.press(1, false);
    EXPECT_EQ(sources->port().Inzavok(kGamePort), 0xDF);
    EXPECT_EQ(sources->port().Inzavok(kGamePort), 0xFF);
}

} // namespace
} // namespace zavok::inputs
