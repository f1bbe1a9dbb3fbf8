#include "soak_rig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

namespace zavok::soak {
namespace {

// The span the soak runs, in whole hours from midnight: a day unless the build or the environment asks for less
// (a slow machine); every check scales with it.
qint64 soakHours() {
    const char* hours = std::getenv("ZAVOK_SOAK_HOURS");
    return std::clamp(hours != nullptr ? std::atoi(hours) : ZAVOK_SOAK_HOURS, 1, 24);
}

constexpr bool kSanitized = ZAVOK_SOAK_SANITIZED != 0;

// The peak resident set of this process so far, in kB.
std::optional<qint64> peakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return std::nullopt;
}

// The time field of a record written `ms` after midnight, as Qt's own 12-hour format has it.
std::string clockText(qint64 ms) {
    return QTime(0, 0).addMSecs(int(ms % (24 * 3600 * 1000))).toString(QStringLiteral("hh:mm:ss AP")).toStdString();
}

struct Record {
    std::string message;
    std::string time;
    std::string date;
};

// The records of one log file: three quoted fields a line, every line ended by CR LF.
std::vector<Record> records(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    std::vector<Record> out;
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.endsWith("\r\n")) << path.toStdString();
    for (const QByteArray& line : content.split('\n')) {
        if (line.isEmpty()) {
            continue;
        }
        EXPECT_TRUE(line.endsWith("\",\"July 13,2001\"\r") || line.endsWith("\",\"July 14,2001\"\r"))
            << line.toStdString();
        const QList<QByteArray> fields = line.chopped(1).split('"');
        // "m","t","d" splits into: "", m, ",", t, ",", d, ""
        if (fields.size() != 7) {
            ADD_FAILURE() << "not a record: " << line.toStdString();
            continue;
        }
        out.push_back({fields[1].toStdString(), fields[3].toStdString(), fields[5].toStdString()});
    }
    return out;
}

using Counts = std::map<std::string, qint64>;

// What one 60-second cycle of the schedule logs, worked out by hand from the schedule and the program's rules: a
// trigger label that changes on a switched-on circuit logs its alert's state, and so does switching a circuit on;
// switching one off, and any change while it is off, logs nothing. A zone label that becomes an alarm text or the
// channel's name logs it; "NO INPUT" and "ENABLED" are shown only.
//
// Alerts, by step (port byte: what changes):
//    1  224: alert 1 active                  Alert #1 activated
//    2  240: alert 1 at rest                 Alert #1 deactivated
//    3  208: alert 2 active                  Alert #2 activated
//    4    0: the bits stay                   -
//    5    5: alerts 1, 3, 4 active too       Alert #1, #3, #4 activated
//    6  240: all at rest                     Alert #1, #2, #3, #4 deactivated
//    7  240; circuit 3 off                   -
//    8  176: alert 3 active, its circuit off -; circuit 3 back on while active: Alert #3 activated
//    9  240: alert 3 at rest                 Alert #3 deactivated; circuit 4 off
//   10  112: alert 4 active, circuit off     -
//   11  240: alert 4 at rest, circuit off    -; circuit 4 back on at rest: Alert #4 deactivated
//
// Zones, by step of the sensor's script (level: zone label):
//   50: name, 60: name (no change), 10: LOW ALARM, 50: name (Normal), 90: HIGH ALARM, 10: LOW ALARM,
//   -10: L.CAL ERROR, 110: H.CAL ERROR, 90: HIGH ALARM, 50: name (Normal), zeros: NO INPUT then the name, as the
//   value becomes DIS (Normal), ENABLE: ENABLED then the first reading's name (Normal), 60: name (no change).
//   That is Normal 4, Low Alarm 2, High Alarm 2, Low Calibration Error 1, High Calibration Error 1 per channel.
// RESET, halfway through step 4, finds Pressure in HIGH ALARM, Volume in LOW ALARM, Temperature in L.CAL ERROR
// and Flow in HIGH ALARM: each zone label goes to the name (Normal) and back to its alarm (one more of that kind).
Counts perCycle() {
    Counts c{
        {"Alert #1 activated at", 2},   {"Alert #1 deactivated at", 2}, {"Alert #2 activated at", 1},
        {"Alert #2 deactivated at", 1}, {"Alert #3 activated at", 2},   {"Alert #3 deactivated at", 2},
        {"Alert #4 activated at", 1},   {"Alert #4 deactivated at", 2},
    };
    for (const char* name : {"Pressure", "Volume", "Temperature", "Flow"}) {
        const std::string n(name);
        c[n + " Normal at"] = 4 + 1; // and one from RESET
        c[n + " Low Alarm at"] = 2;
        c[n + " High Alarm at"] = 2;
        c[n + " Low Calibration Error at"] = 1;
        c[n + " High Calibration Error at"] = 1;
    }
    c["Pressure High Alarm at"] += 1;
    c["Volume Low Alarm at"] += 1;
    c["Temperature Low Calibration Error at"] += 1;
    c["Flow High Alarm at"] += 1;
    return c;
}

// The run is one long day, so it happens once for all the checks below.
class Soak : public ::testing::Test {
protected:
    struct Outcome {
        qint64 hours = 0;
        QTemporaryDir root;
        std::unique_ptr<Rig> rig;
        std::optional<qint64> peakAfterFirstHour;
        std::optional<qint64> peakAtEnd;
        std::vector<Record> day;     // Jul 13.txt
        std::vector<Record> next;    // Jul 14.txt
        QStringList logFiles;        // every file in the working directory
        std::array<bool, 4> shown{}; // a channel window that came up by itself
        qint64 channelTimersOn = 0;  // channel timers still running before shutdown
    };

    static void SetUpTestSuite() {
        outcome_ = std::make_unique<Outcome>();
        Outcome& o = *outcome_;
        ASSERT_TRUE(o.root.isValid());
        o.hours = soakHours();
        o.rig = std::make_unique<Rig>(o.root.path());
        Rig& rig = *o.rig;
        rig.start();
        rig.run(o.hours * Schedule::kCyclesPerHour, [&o](qint64 hour) {
            if (hour == 1) {
                o.peakAfterFirstHour = peakRssKb();
            }
            if (hour == o.hours) {
                o.peakAtEnd = peakRssKb();
            }
        });
        for (int k = 1; k <= 4; ++k) {
            o.shown.at(std::size_t(k - 1)) = rig.zavok().channel(k).isVisible();
            o.channelTimersOn += rig.zavok().channel(k).Timer1.isEnabled() ? 1 : 0;
        }
        rig.finish();
        o.day = records(rig.logPath(QStringLiteral("Jul 13")));
        o.next = records(rig.logPath(QStringLiteral("Jul 14")));
        o.logFiles = QDir(QFileInfo(rig.logPath(QStringLiteral("x"))).absolutePath()).entryList(QDir::Files);
    }

    static void TearDownTestSuite() { outcome_.reset(); }

    void SetUp() override { ASSERT_TRUE(outcome_ && outcome_->rig) << "the day did not run"; }

    static Outcome& o() { return *outcome_; }

private:
    static std::unique_ptr<Outcome> outcome_;
};

std::unique_ptr<Soak::Outcome> Soak::outcome_;

TEST_F(Soak, EveryRecordOfTheDayIsLoggedExactlyOnce) {
    const qint64 cycles = o().hours * Schedule::kCyclesPerHour;
    Counts expected;
    for (const auto& [message, n] : perCycle()) {
        expected[message] = n * cycles;
    }
    // Start-up: its own record, then the saved zone labels replace the empty ones the window is designed with.
    expected["ZAVOK started at"] = 1;
    for (const char* name : {"Pressure", "Volume", "Temperature", "Flow"}) {
        expected[std::string(name) + " Normal at"] += 1;
    }
    // The run ends at midnight after a whole day, and so closes in the next day's file.
    const bool wholeDay = o().hours == 24;
    if (!wholeDay) {
        expected["ZAVOK closed at"] = 1;
    }

    Counts seen;
    for (const Record& r : o().day) {
        ++seen[r.message];
    }
    EXPECT_EQ(seen, expected);
    ASSERT_FALSE(o().day.empty());
    EXPECT_EQ(o().day.front().message, "ZAVOK started at");
    EXPECT_EQ(o().day.front().time, "12:00:00 AM");

    const Record& closed = wholeDay ? o().next.at(0) : o().day.back();
    EXPECT_EQ(closed.message, "ZAVOK closed at");
    EXPECT_EQ(closed.time, clockText(o().hours * 3600 * 1000));
    EXPECT_EQ(closed.date, wholeDay ? "July 14,2001" : "July 13,2001");
    EXPECT_EQ(o().next.size(), wholeDay ? 1u : 0u);
    EXPECT_EQ(o().logFiles, wholeDay ? (QStringList{QStringLiteral("Jul 13.txt"), QStringLiteral("Jul 14.txt")})
                                     : QStringList{QStringLiteral("Jul 13.txt")});
}

TEST_F(Soak, NoTimerDriftedAndNothingElseHappened) {
    const Rig& rig = *o().rig;
    const qint64 spanMs = o().hours * 3600 * 1000;
    // One port read per poll tick of 100 ms, all of them of the game port.
    EXPECT_EQ(rig.portReads(), spanMs / 100);
    EXPECT_EQ(rig.otherPortReads(), 0);
    // A channel ticks first at its design period of 1000 ms and every 500 ms after; the user switches a silenced
    // channel back on within the tick that silenced it, so no period is lost. 101 reads a tick, and joystick 1
    // serves channels 1 and 2, joystick 2 channels 3 and 4.
    const qint64 channelTicks = (spanMs - 1000) / 500 + 1;
    EXPECT_EQ(rig.joystickReads(0), 2 * 101 * channelTicks);
    EXPECT_EQ(rig.joystickReads(1), 2 * 101 * channelTicks);
    EXPECT_EQ(o().channelTimersOn, 4);

    // The clock texts kept pace with the timers: the last alert record is circuit 4 switched back on halfway through
    // the last step, 2.5 s before the end, as the poll tick of that moment saw the clock.
    ASSERT_FALSE(o().day.empty());
    const auto last = std::find_if(o().day.rbegin(), o().day.rend(),
                                   [](const Record& r) { return r.message == "Alert #4 deactivated at"; });
    ASSERT_NE(last, o().day.rend());
    EXPECT_EQ(last->time, clockText(spanMs - 2500));

    // Nothing asked the user anything, the bell stayed off, and no channel window came up to be calibrated.
    EXPECT_EQ(rig.dialogs(), 0);
    EXPECT_EQ(rig.beeps(), 0);
    EXPECT_EQ(o().shown, (std::array<bool, 4>{}));
}

TEST_F(Soak, EachSampleFileHoldsOnlyTheLastBurst) {
    // After hundreds of thousands of rewrites, each file is one block of 100 lines, nothing left over from a longer
    // one: the last step gives channels 1 and 3 the reading for 60, channels 2 and 4 the one for 50.
    const char* files[] = {"x1values.zvk", "y1values.zvk", "x2values.zvk", "y2values.zvk"};
    for (int k = 1; k <= 4; ++k) {
        QFile file(o().rig->dataPath(QString::fromLatin1(files[k - 1])));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << files[k - 1];
        const QByteArray line = QByteArray::number(Schedule::raw(Schedule::level(k, Schedule::kSteps - 1))) + "\r\n";
        EXPECT_EQ(file.readAll(), line.repeated(100)) << files[k - 1];
    }
}

TEST_F(Soak, MemoryDoesNotGrow) {
    if (kSanitized) {
        GTEST_SKIP() << "the sanitizer keeps freed memory in quarantine, so the resident set says nothing here";
    }
    if (o().hours < 2) {
        GTEST_SKIP() << "a span of one hour has nothing to compare the first hour with";
    }
    ASSERT_TRUE(o().peakAfterFirstHour.has_value());
    ASSERT_TRUE(o().peakAtEnd.has_value());
    std::cout << "peak RSS after hour 1: " << *o().peakAfterFirstHour << " kB, after hour " << o().hours << ": "
              << *o().peakAtEnd << " kB\n";
    EXPECT_LE(*o().peakAtEnd - *o().peakAfterFirstHour, 1024)
        << "peak RSS after hour 1: " << *o().peakAfterFirstHour << " kB, after hour " << o().hours << ": "
        << *o().peakAtEnd << " kB";
}

} // namespace
} // namespace zavok::soak
