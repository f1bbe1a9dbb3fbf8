#include "soak_rig.h"
#include "support/harness.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>

namespace zavok::soak {
namespace {

using namespace Qt::StringLiterals;

// In whole hours from midnight: a slow machine may ask for less, and every check scales with it.
qint64 soakHours() {
    const char* hours = std::getenv("ZAVOK_SOAK_HOURS");
    return std::clamp(hours != nullptr ? std::atoi(hours) : ZAVOK_SOAK_HOURS, 1, 24);
}

// The peak resident set of this process so far in kB, 0 where /proc does not tell.
qint64 peakRssKb() {
    const QString text = QString::fromLatin1(test::Harness::bytes(u"/proc/self/status"_s));
    return QRegularExpression(u"VmHWM:\\s*(\\d+) kB"_s).match(text).captured(1).toLongLong();
}

// As Qt's own 12-hour format writes the time `ms` after midnight.
std::string clockText(qint64 ms) {
    return QTime(0, 0).addMSecs(int(ms % (24 * 3600 * 1000))).toString(u"hh:mm:ss AP"_s).toStdString();
}

struct Record {
    std::string message, time, date;
};

// Three quoted fields a line, every line ended by CR LF; a missing file has none.
std::vector<Record> records(const QString& path) {
    static const QRegularExpression record(uR"re(^"([^"]*)","([^"]*)","(July 1[34],2001)"\r$)re"_s);
    std::vector<Record> out;
    const QByteArray content = test::Harness::bytes(path);
    EXPECT_TRUE(content.isEmpty() || content.endsWith("\r\n")) << path.toStdString();
    for (const QByteArray& line : content.split('\n')) {
        if (const QRegularExpressionMatch m = record.match(QString::fromLatin1(line)); m.hasMatch()) {
            out.push_back({m.captured(1).toStdString(), m.captured(2).toStdString(), m.captured(3).toStdString()});
        } else if (!line.isEmpty()) {
            ADD_FAILURE() << "not a record of the day: " << line.toStdString();
        }
    }
    return out;
}

// What the day logs, worked out by hand from the schedule and the program's rules.
//
// A trigger label that changes on a switched-on circuit logs its alert's state, and so does switching a circuit on;
// switching one off, and any change while it is off, logs nothing. By step (port byte): 1 (224) #1 activated;
// 2 (240) #1 deactivated; 3 (208) #2 activated; 4 (0) the bits stay; 5 (5) #1, #3, #4 activated; 6 (240) all four
// deactivated; 7 circuit 3 off; 8 (176) alert 3 with its circuit off, then circuit 3 on: #3 activated; 9 (240) #3
// deactivated, then circuit 4 off; 10 (112) and 11 (240) alert 4 with its circuit off, then circuit 4 on at rest: #4
// deactivated.
//
// A zone label that becomes an alarm text or the channel's name logs it; NO INPUT and ENABLED are shown only. The
// script (50, 60, 10, 50, 90, 10, -10, 110, 90, 50, zeros, 60) gives each channel Normal 4 (50 after 10, 50 after 90,
// the name as the value becomes DIS, the first reading after ENABLE), Low Alarm 2, High Alarm 2, Low and High
// Calibration Error 1 each. RESET, halfway through step 4, finds Pressure in HIGH ALARM, Volume in LOW ALARM,
// Temperature in L.CAL ERROR and Flow in HIGH ALARM: each zone label goes to the name and back to its alarm.
//
// Start-up logs its own record, then the saved zone labels replace the empty ones the window is designed with. A
// whole day ends at midnight, so its closing record goes to the next day's file.
std::map<std::string, qint64> expectedRecords(qint64 cycles, bool wholeDay) {
    std::map<std::string, qint64> c{
        {"Alert #1 activated at", 2},   {"Alert #1 deactivated at", 2}, {"Alert #2 activated at", 1},
        {"Alert #2 deactivated at", 1}, {"Alert #3 activated at", 2},   {"Alert #3 deactivated at", 2},
        {"Alert #4 activated at", 1},   {"Alert #4 deactivated at", 2}, {"Pressure High Alarm at", 1},
        {"Volume Low Alarm at", 1},     {"Flow High Alarm at", 1},      {"Temperature Low Calibration Error at", 1},
    };
    for (auto& [message, n] : c) {
        n *= cycles;
    }
    for (const std::string name : {"Pressure", "Volume", "Temperature", "Flow"}) {
        c[name + " Normal at"] += (4 + 1) * cycles + 1; // and one from each RESET, and one at start-up
        c[name + " Low Alarm at"] += 2 * cycles;
        c[name + " High Alarm at"] += 2 * cycles;
        c[name + " Low Calibration Error at"] += cycles;
        c[name + " High Calibration Error at"] += cycles;
    }
    c["ZAVOK started at"] = 1;
    if (!wholeDay) {
        c["ZAVOK closed at"] = 1;
    }
    return c;
}

// The run is one long day, so it happens once, and every check looks at what it left.
TEST(Soak, ADayLogsEveryRecordOnceWithNoTimerDriftNoLeftoverAndNoGrowth) {
    QTemporaryDir root;
    const qint64 hours = soakHours();
    const qint64 spanMs = hours * 3600 * 1000;
    const bool wholeDay = hours == 24;
    Rig rig(root.path());
    rig.start();
    std::vector<qint64> peaks; // at the end of each hour
    rig.run(hours * Schedule::kCyclesPerHour, [&peaks](qint64) { peaks.push_back(peakRssKb()); });
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FALSE(rig.zavok().channel(k).isVisible()) << "no channel window came up to be calibrated";
    }
    rig.finish();

    const std::vector<Record> day = records(rig.logPath(u"Jul 13"_s));
    const std::vector<Record> next = records(rig.logPath(u"Jul 14"_s));
    std::map<std::string, qint64> seen;
    for (const Record& r : day) {
        ++seen[r.message];
    }
    EXPECT_EQ(seen, expectedRecords(hours * Schedule::kCyclesPerHour, wholeDay));
    ASSERT_FALSE(day.empty());
    EXPECT_EQ(day.front().message + ' ' + day.front().time, "ZAVOK started at 12:00:00 AM");
    ASSERT_EQ(next.size(), wholeDay ? 1u : 0u);
    const Record& closed = wholeDay ? next.at(0) : day.back();
    EXPECT_EQ(closed.message + ' ' + closed.time + ' ' + closed.date,
              "ZAVOK closed at " + clockText(spanMs) + (wholeDay ? " July 14,2001" : " July 13,2001"));
    EXPECT_EQ(QFileInfo(rig.logPath(u"Jul 13"_s)).dir().entryList(QDir::Files),
              QStringList{u"Jul 13.txt"_s} + (wholeDay ? QStringList{u"Jul 14.txt"_s} : QStringList()));

    // No timer drifted. One read of the game port per poll tick of 100 ms. A channel ticks first at its design
    // period of 1000 ms and every 500 ms after; the user switches a silenced channel back on within the tick that
    // silenced it, so no period is lost. 101 reads a tick, and each joystick serves two channels.
    EXPECT_EQ(rig.machine().portReads, spanMs / 100);
    EXPECT_EQ(rig.machine().otherPortReads, 0);
    const qint64 channelTicks = (spanMs - 1000) / 500 + 1;
    EXPECT_EQ(rig.machine().joystickReads, (std::array{2 * 101 * channelTicks, 2 * 101 * channelTicks}));
    // The clock texts kept pace with the timers: the last alert record is circuit 4 switched back on halfway through
    // the last step, 2.5 s before the end.
    const auto last =
        std::find_if(day.rbegin(), day.rend(), [](const Record& r) { return r.message == "Alert #4 deactivated at"; });
    ASSERT_NE(last, day.rend());
    EXPECT_EQ(last->time, clockText(spanMs - 2500));
    EXPECT_EQ(rig.machine().told, 0) << "nothing asked the user anything, and the bell stayed off";

    // After hundreds of thousands of rewrites, each sample file is one block of 100 lines with nothing left over
    // from a longer one, of the last step's reading.
    const char* files[] = {"x1values.zvk", "y1values.zvk", "x2values.zvk", "y2values.zvk"};
    for (int k = 1; k <= 4; ++k) {
        const QByteArray line = QByteArray::number(Schedule::raw(Schedule::level(k, Schedule::kSteps - 1))) + "\r\n";
        EXPECT_EQ(test::Harness::bytes(rig.dataPath(QString::fromLatin1(files[k - 1]))), line.repeated(100))
            << files[k - 1];
    }

    // The sanitizer keeps freed memory in quarantine, and a span of one hour has nothing to compare the first with.
    if (ZAVOK_SOAK_SANITIZED || hours < 2) {
        std::cout << "memory growth not compared: sanitized build, or a span of one hour\n";
        return;
    }
    const std::string said = "peak RSS after hour 1: " + std::to_string(peaks.front()) + " kB, after hour " +
                             std::to_string(hours) + ": " + std::to_string(peaks.back()) + " kB";
    std::cout << said << '\n';
    ASSERT_GT(peaks.front(), 0) << said;
    EXPECT_LE(peaks.back() - peaks.front(), 1024) << said;
}

} // namespace
} // namespace zavok::soak
