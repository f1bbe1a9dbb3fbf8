#include "inputs/input_sources.h"
#include "inputs/simulator_state.h"
#include "inputs/state_file.h"
#include "support/game_port.h"
#include "support/harness.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// The sources that stand in for the game port and the joysticks without SDL: the simulator, the state file, and
// the real port where the machine lets the program have it.
namespace zavok::inputs {
namespace {

using test::channels;
using test::Channels;
using test::kGamePort;

TEST(SimulatorState, AClosureBetweenTwoReadsIsReportedOnce) {
    SimulatorState sim;
    sim.setClosed(2, true);
    sim.setClosed(2, false);
    sim.setClosed(0, true);
    sim.setClosed(0, false);
    EXPECT_EQ(sim.Inzavok(kGamePort), 0xAF);
    EXPECT_EQ(sim.Inzavok(kGamePort), 0xFF);
}

TEST(SimulatorState, SlidersStayWithinTheirEndsAndAJoystickNotThereReadsZero) {
    SimulatorState sim;
    kit::JOYINFO info{1, 2, 3, 4}; // whatever the caller's record held must not leak through
    EXPECT_EQ(sim.joyGetPos(1, info), kJoyNoError);
    EXPECT_EQ(Channels({info.wXpos, info.wYpos, info.wZpos, info.wButtons}), (Channels{32768, 32768, 0, 0}));
    sim.setAxis(2, 70000);
    sim.setAxis(3, -5);
    EXPECT_EQ(channels(sim), (Channels{32768, 32768, 65535, 0}));
    for (int id : {-1, 2}) {
        info = {1, 2, 3, 4};
        EXPECT_NE(sim.joyGetPos(id, info), kJoyNoError);
        EXPECT_EQ(info.wXpos + info.wYpos + info.wZpos + info.wButtons, 0u) << "joystick " << id;
    }
}

using Parsed = std::variant<InputSnapshot, StateFileFault>;

TEST(StateFileParser, ReadsFiveWholeNumbersInAnyWhitespaceAndRefusesAnythingElse) {
    for (const char* text : {"224 0 65535 32768 7", "224\t0\n65535 32768 7\n", "  224   0 65535\r\n32768 7\r\n\r\n",
                             "+224 00 65535 32768 7"}) {
        EXPECT_EQ(parseStateFile(text), Parsed(InputSnapshot{224, {0, 65535, 32768, 7}})) << text;
    }
    EXPECT_EQ(parseStateFile("0 0 0 0 0"), Parsed(InputSnapshot{0, {}}));
    EXPECT_EQ(parseStateFile("255 65535 65535 65535 65535"), Parsed(InputSnapshot{255, {65535, 65535, 65535, 65535}}));
    using enum StateFileFault;
    const struct {
        QByteArray text;
        StateFileFault fault;
    } rows[] = {
        {"", Malformed},
        {QByteArray("1\0 2\0 203 03 4", 15), Malformed},
        {"240 32768 32768 32768", Malformed},
        {"240 32768 32768 32768 32768 1", Malformed},
        {"240 3e4 32768 32768 32768", Malformed},
        {"240 32768.5 32768 32768 32768", Malformed},
        {"240, 32768, 32768, 32768, 32768", Malformed},
        {"240 32768 32768 32768 99999999999999999999999", Malformed},
        {"256 32768 32768 32768 32768", OutOfRange},
        {"-1 32768 32768 32768 32768", OutOfRange},
        {"240 65536 32768 32768 32768", OutOfRange},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parseStateFile(row.text), Parsed(row.fault)) << row.text.toPercentEncoding().toStdString();
    }
}

// The file source as the poll cycle and the channel ticks see it, with a clock moved by hand.
class StateFileSourceTest : public ::testing::Test {
protected:
    void write(const QByteArray& content) const { test::Harness::put(path, content); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("state.txt"));
    QStringList told;
    qint64 now = 1000;
    StateFileSource source{path, [this](const QString& line) { told << line; }, [this] { return now; }};
};

TEST_F(StateFileSourceTest, ARewrittenFileShowsAtThePortsNextReadAndAtTheJoysticksNextTick) {
    write("240 100 200 300 400\n");
    EXPECT_EQ(source.Inzavok(kGamePort), 240);
    EXPECT_EQ(channels(source), (Channels{100, 200, 300, 400}));
    write("208 1 2 3 4\n");
    EXPECT_EQ(source.Inzavok(kGamePort), 208);
    EXPECT_EQ(channels(source), (Channels{1, 2, 3, 4}));
    // A channel tick's burst of readings shares one reading of the file; the next tick sees the new content.
    write("224 5 6 7 8\n");
    EXPECT_EQ(channels(source), (Channels{1, 2, 3, 4}));
    now += StateFileSource::kSnapshotMs;
    EXPECT_EQ(channels(source), (Channels{5, 6, 7, 8}));
    // A writer that truncates before it writes can be caught with the file empty: that is not kept either.
    write("");
    now += StateFileSource::kSnapshotMs;
    EXPECT_EQ(channels(source), (Channels{0, 0, 0, 0}));
    write("240 11 22 33 44");
    EXPECT_EQ(channels(source), (Channels{11, 22, 33, 44}));
    // Up to 4 KiB is read, padding included; a longer file is none that this source writes.
    QByteArray padded = "208 9 8 7 6";
    padded.resize(4096, ' ');
    write(padded);
    now += StateFileSource::kSnapshotMs;
    EXPECT_EQ(channels(source), (Channels{9, 8, 7, 6}));
    write(padded + ' ');
    now += StateFileSource::kSnapshotMs;
    EXPECT_EQ(channels(source), (Channels{0, 0, 0, 0}));
}

TEST_F(StateFileSourceTest, AnUnusableFileKeepsTheContactsAndIsToldOnceForEachKindOfFault) {
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_EQ(source.Inzavok(kGamePort), 0xFF) << "every contact at rest before the first good reading";
        EXPECT_EQ(channels(source), (Channels{0, 0, 0, 0}));
    }
    write("224 1 2 3 4\n");
    EXPECT_EQ(source.Inzavok(kGamePort), 224);
    write("240 1 2\n");
    EXPECT_EQ(source.Inzavok(kGamePort), 224) << "the last good reading";
    write("240 1 2 3 70000\n");
    EXPECT_EQ(source.Inzavok(kGamePort), 224);
    EXPECT_EQ(channels(source), (Channels{0, 0, 0, 0}));
    ASSERT_EQ(told.size(), 3);
    EXPECT_TRUE(told[0].startsWith(QStringLiteral("zavok: cannot read the input state file ") + path));
    EXPECT_TRUE(told[1].contains(QStringLiteral("does not hold five whole numbers")));
    EXPECT_TRUE(told[2].contains(QStringLiteral("out of range")));
    for (const QString& line : told) {
        EXPECT_TRUE(line.endsWith(QStringLiteral("the contacts and the channels keep their last state while this "
                                                 "lasts")));
    }
}

// A read that fails after the open, as on a failing disk: /proc/self/mem opens as a regular file and its first read
// fails. It is told with the system's reason at once rather than tried again for ever.
TEST(StateFileSourceFault, AReadThatFailsIsToldWithItsReason) {
    QStringList told;
    StateFileSource source{QStringLiteral("/proc/self/mem"), [&told](const QString& line) { told << line; },
                           [] { return qint64(0); }};
    EXPECT_EQ(source.Inzavok(kGamePort), 0xFF);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("(Input/output error)"))) << told[0].toStdString();
}

TEST(InputSourcesFactory, TheRealPortIsRefusedWithTheReasonAndTheOtherSourcesWhenUnreachable) {
    auto made = InputSources::create({InputOptions::Source::IoPort, {}}, false, [](const QString&) {});
    // Which way this goes depends on the machine: root on an x86 kernel that offers port access, or not.
    if (const auto* refusal = std::get_if<StartRefusal>(&made)) {
        EXPECT_EQ(refusal->exitStatus, 2);
        EXPECT_TRUE(refusal->message.startsWith(QStringLiteral("zavok: --input=ioport: ")));
        for (const char* named : {"0x201", "--input=joystick", "--input=sim", "--input=file:PATH"}) {
            EXPECT_TRUE(refusal->message.contains(QLatin1String(named))) << refusal->message.toStdString();
        }
        EXPECT_FALSE(refusal->message.contains(u'\n'));
    } else {
        const qint16 byte = std::get<std::unique_ptr<InputSources>>(made)->port().Inzavok(kGamePort);
        EXPECT_GE(byte, 0);
        EXPECT_LE(byte, 255);
    }
}

} // namespace
} // namespace zavok::inputs
