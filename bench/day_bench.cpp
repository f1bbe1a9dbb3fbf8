// A day of monitoring at the default sampling times on virtual time: the soak's schedule, in a release build.
#include "bench_support.h"
#include "soak_rig.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace zavok::bench {
namespace {

// What the day did, for its baseline: the channel ticks and the records it wrote.
struct DayWork {
    qint64 channelTicks = 4 * (24 * 3600 * 2 - 1); // 500 ms periods after a first one of 1000 ms
    qint64 records = 0;
};
DayWork day;

void Day(benchmark::State& state) {
    for (auto _ : state) {
        soak::Rig rig(freshDirectory(QStringLiteral("day")));
        rig.start();
        rig.run(24 * soak::Schedule::kCyclesPerHour);
        rig.finish();
        day.channelTicks = (rig.machine().joystickReads[0] + rig.machine().joystickReads[1]) / 101;
        QFile log(rig.logPath(QStringLiteral("Jul 13")));
        day.records = log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
        state.counters["poll_ticks"] = double(rig.machine().portReads);
        state.counters["channel_ticks"] = double(day.channelTicks);
        state.counters["records"] = double(day.records);
    }
}
BENCHMARK(Day)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The file work that the same day cannot do without, each piece done the cheapest way: every channel tick's
// sample file opened, written over, cut to length, read back and closed, and every record appended.
void DayPhysicalLimit(benchmark::State& state) {
    const QString root = freshDirectory(QStringLiteral("day-limit"));
    const QString dir = dataDirectory(root);
    std::string block;
    for (int i = 0; i < 100; ++i) {
        block += "35000\r\n";
    }
    const std::array<std::string, 4> files{QDir(dir).filePath(QStringLiteral("x1values.zvk")).toStdString(),
                                           QDir(dir).filePath(QStringLiteral("y1values.zvk")).toStdString(),
                                           QDir(dir).filePath(QStringLiteral("x2values.zvk")).toStdString(),
                                           QDir(dir).filePath(QStringLiteral("y2values.zvk")).toStdString()};
    const std::string log = QDir(workDirectory(root)).filePath(QStringLiteral("Jul 13.txt")).toStdString();
    const std::string line = "\"Temperature Low Calibration Error at\",\"08:15:20 AM\",\"July 13,2001\"\r\n";
    std::array<char, 1200> back{};
    for (auto _ : state) {
        for (qint64 tick = 0; tick < day.channelTicks; ++tick) {
            const int fd = ::open(files.at(std::size_t(tick % 4)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            bool ok = fd >= 0 && ::pwrite(fd, block.data(), block.size(), 0) == ssize_t(block.size()) &&
                      ::ftruncate(fd, off_t(block.size())) == 0 &&
                      ::pread(fd, back.data(), back.size(), 0) == ssize_t(block.size());
            ok = ::close(fd) == 0 && ok;
            if (!ok) {
                state.SkipWithError("sample file I/O failed");
                return;
            }
        }
        for (qint64 record = 0; record < day.records; ++record) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
            bool ok = fd >= 0 && ::write(fd, line.data(), line.size()) == ssize_t(line.size());
            ok = ::close(fd) == 0 && ok;
            if (!ok) {
                state.SkipWithError("log append failed");
                return;
            }
        }
    }
    state.counters["channel_ticks"] = double(day.channelTicks);
    state.counters["records"] = double(day.records);
}
BENCHMARK(DayPhysicalLimit)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace zavok::bench
