#include "platform/input_sources.h"
#include "platform/sdl_bell.h"
#include "platform/sdl_joysticks.h"

#include <QCoreApplication>

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <csignal>

// The real SDL code path, driven through SDL's virtual joysticks: no hardware, no display.
namespace zavok::platform {
namespace {

constexpr int kGamePort = 513;

// A joystick plugged in for the length of a test. SDL must already run (an SdlJoysticks does that).
class VirtualPad {
public:
    VirtualPad(int buttons, int axes) {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, axes, buttons, 0);
        handle_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
        EXPECT_NE(handle_, nullptr) << SDL_GetError();
    }
    ~VirtualPad() { unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void press(int button, bool down) { SDL_JoystickSetVirtualButton(handle_, button, down ? SDL_PRESSED : 0); }
    void tilt(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(handle_, axis, value); }
    void unplug() {
        if (handle_ == nullptr) {
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(handle_);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) {
                SDL_JoystickDetachVirtual(index);
            }
        }
        SDL_JoystickClose(handle_);
        handle_ = nullptr;
    }

private:
    SDL_Joystick* handle_ = nullptr;
};

using Channels = std::array<quint32, kChannels>;

class SdlJoysticksTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { qputenv("SDL_VIDEODRIVER", "dummy"); }

    // Channels 1 to 4 as the channel windows read them: joystick 1 X and Y, joystick 2 X and Y.
    Channels channels() {
        kit::JOYINFO one, two;
        sdl.joyGetPos(0, one);
        sdl.joyGetPos(1, two);
        return {one.wXpos, one.wYpos, two.wXpos, two.wYpos};
    }

    QStringList told;
    SdlJoysticks sdl{[this](const QString& line) { told << line; }};
};

TEST_F(SdlJoysticksTest, TwoSticksAreWiredAsTheClassicGamePort) {
    VirtualPad first(2, 2);
    VirtualPad second(4, 4); // a big pad that is not alone still serves only as joystick 2
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);

    const struct {
        VirtualPad& pad;
        int button;
        int byte;
    } presses[] = {{first, 0, 0xEF}, {first, 1, 0xDF}, {second, 0, 0xBF}, {second, 1, 0x7F}, {second, 2, 0xFF}};
    for (const auto& row : presses) {
        row.pad.press(row.button, true);
        EXPECT_EQ(sdl.Inzavok(kGamePort), row.byte) << "button " << row.button;
        row.pad.press(row.button, false);
        sdl.Inzavok(kGamePort);
    }

    // SDL's -32768..32767 onto 0..65535: both ends and the middle.
    first.tilt(0, -32768);
    first.tilt(1, 32767);
    second.tilt(0, 0);
    second.tilt(1, -1);
    second.tilt(2, -32768);
    EXPECT_EQ(channels(), (Channels{0, 65535, 32768, 32767}));
}

TEST_F(SdlJoysticksTest, OnePadWithFourButtonsAndFourAxesServesAllEightInputs) {
    VirtualPad pad(6, 5);
    pad.press(3, true);
    pad.press(1, true);
    pad.tilt(0, 32767);
    pad.tilt(2, -32768);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0x5F);
    EXPECT_EQ(channels(), (Channels{65535, 32768, 0, 32768}));

    // With three buttons it is an ordinary joystick 1, and joystick 2 is absent: contacts 3 and 4, which the big pad
    // served, keep their last state.
    VirtualPad small(3, 4);
    pad.unplug();
    small.press(2, true);
    small.tilt(2, 32767);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0x7F);
    EXPECT_EQ(channels(), (Channels{32768, 32768, 0, 0}));
    EXPECT_EQ(sdl.fault(), QStringLiteral("joystick 2 was unplugged"));
}

TEST_F(SdlJoysticksTest, DevicesPluggedInAndPulledOutWhileRunningKeepTheirPlaces) {
    ASSERT_TRUE(sdl.isAvailable()) << told.join(u'\n').toStdString();
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);
    EXPECT_EQ(channels(), (Channels{0, 0, 0, 0}));
    EXPECT_EQ(sdl.fault(), QStringLiteral("no joystick is plugged in"));

    VirtualPad first(2, 2);
    VirtualPad second(2, 2);
    second.press(0, true);
    second.tilt(1, 32767);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xBF);
    EXPECT_EQ(sdl.deviceCount(), 2);
    EXPECT_EQ(sdl.fault(), QString());

    first.unplug();
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xBF);
    EXPECT_EQ(channels(), (Channels{0, 0, 32768, 65535}));
    EXPECT_EQ(sdl.fault(), QStringLiteral("joystick 1 was unplugged"));

    // A newcomer takes the free place of joystick 1.
    VirtualPad third(2, 2);
    third.press(1, true);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0x9F);
    EXPECT_EQ(sdl.fault(), QString());

    // The contacts of a joystick pulled out keep the state they last read.
    second.unplug();
    third.unplug();
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0x9F);
    EXPECT_EQ(channels(), (Channels{0, 0, 0, 0}));
    EXPECT_EQ(sdl.deviceCount(), 0);
    EXPECT_EQ(sdl.fault(), QStringLiteral("no joystick is plugged in"));
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(SdlJoysticksTest, APressAndReleaseBetweenTwoReadsIsReportedOnce) {
    VirtualPad pad(2, 2);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);
    pad.press(1, true);
    sdl.pump();
    pad.press(1, false);
    sdl.pump();
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xDF);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);

    // Held across reads it stays closed, and it reads open at the first read after it is let go.
    pad.press(0, true);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xEF);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xEF);
    pad.press(0, false);
    EXPECT_EQ(sdl.Inzavok(kGamePort), 0xFF);
}

volatile std::sig_atomic_t terminations = 0;
extern "C" void countTermination(int) {
    terminations = terminations + 1;
}

TEST(SdlSignals, SigtermStillReachesTheProgramWithSdlRunning) {
    // Start from nothing: no SDL, no hints left by another test, default dispositions.
    SDL_Quit();
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);

    SdlJoysticks sdl([](const QString&) {});
    ASSERT_TRUE(sdl.isAvailable());
    for (int sig : {SIGTERM, SIGINT}) {
        struct sigaction now = {};
        sigaction(sig, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << "SDL took signal " << sig;
    }

    struct sigaction action = {};
    action.sa_handler = countTermination;
    sigemptyset(&action.sa_mask);
    struct sigaction previous = {};
    ASSERT_EQ(sigaction(SIGTERM, &action, &previous), 0);
    raise(SIGTERM);
    sdl.pump();
    sigaction(SIGTERM, &previous, nullptr);
    EXPECT_EQ(terminations, 1);
}

TEST(SdlInputSources, AutoTakesTheJoysticksWhenOneIsPluggedInElseTheSimulator) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // for the pump's timer
    const FaultSink quiet = [](const QString&) {};
    using Source = InputOptions::Source;

    auto alone = InputSources::create({Source::Auto, {}}, false, quiet);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<InputSources>>(alone));
    EXPECT_NE(std::get<std::unique_ptr<InputSources>>(alone)->simulator(), nullptr);
    auto windowless = InputSources::create({Source::Auto, {}}, true, quiet);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<InputSources>>(windowless));
    EXPECT_EQ(std::get<std::unique_ptr<InputSources>>(windowless)->simulator(), nullptr)
        << "nobody could drive a simulator without a window";

    QStringList told;
    auto waiting = InputSources::create({Source::Joystick, {}}, false, [&told](const QString& line) { told << line; });
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<InputSources>>(waiting));
    EXPECT_EQ(std::get<std::unique_ptr<InputSources>>(waiting)->simulator(), nullptr);
    EXPECT_EQ(told, QStringList{QStringLiteral("zavok: no joystick is plugged in; the contacts stay at rest and the "
                                               "axes read 0 until one is")});

    {
        // Keeps SDL running around the pad, which needs it.
        SdlJoysticks keeper(quiet);
        VirtualPad pad(2, 2);
        pad.press(0, true);
        auto withPad = InputSources::create({Source::Auto, {}}, false, quiet);
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<InputSources>>(withPad));
        const auto& sources = *std::get<std::unique_ptr<InputSources>>(withPad);
        EXPECT_EQ(sources.simulator(), nullptr);
        EXPECT_EQ(sources.port().Inzavok(kGamePort), 0xEF);
    }
}

// The service's bell through SDL's audio: it rings where there is an output, and where there is none it says so once
// and stays silent.
TEST(SdlBellTest, RingsWhereThereIsAnOutputAndSaysOnceWhereThereIsNone) {
    const struct {
        const char* driver;
        int told;
    } rows[] = {{"dummy", 0}, {"no-such-driver", 1}};
    for (const auto& row : rows) {
        qputenv("SDL_AUDIODRIVER", row.driver);
        QStringList told;
        {
            SdlBell bell([&told](const QString& line) { told << line; });
            bell.beep();
            bell.beep();
        }
        EXPECT_EQ(told.size(), row.told) << row.driver;
    }
    qunsetenv("SDL_AUDIODRIVER");
}

} // namespace
} // namespace zavok::platform
