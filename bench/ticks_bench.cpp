// The two ticks the program runs for as long as it monitors, each beside the least that the same work can cost.
#include "bench_support.h"
#include "system/system_clock.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace zavok::bench {
namespace {

std::string path(const QString& dir, const char* name) {
    return QDir(dir).filePath(QString::fromLatin1(name)).toStdString();
}

// The sample file the channel tick leaves behind with the steady axis: 100 lines of "32750" CR LF.
std::string sampleBlock() {
    std::string block;
    for (int i = 0; i < 100; ++i) {
        block += "32750\r\n";
    }
    return block;
}

// Channel 1's tick as the program runs it: 101 reads of the joystick, the sample file written over and read back,
// the average scaled and shown.
void ChannelTick(benchmark::State& state) {
    Program program(freshDirectory(QStringLiteral("channel-tick")));
    ChannelForm& channel = program.zavok().channel(1);
    channel.enable.click();
    for (auto _ : state) {
        channel.Timer1.fire();
    }
    if (program.zavok().zavok->value.at(0)->text() != QStringLiteral("50")) {
        state.SkipWithError("the channel did not show the documented 50");
    }
}
BENCHMARK(ChannelTick);

// The physical limit of the same file work: open, one write of the whole block over the existing file, cut it to
// length, one read back, close. The file must be opened and closed within the tick, so that is part of the limit.
void ChannelTickPhysicalLimit(benchmark::State& state) {
    const std::string file = path(dataDirectory(freshDirectory(QStringLiteral("channel-limit"))), "x1values.zvk");
    const std::string block = sampleBlock();
    std::array<char, 1200> back{};
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        bool ok = fd >= 0 && ::pwrite(fd, block.data(), block.size(), 0) == ssize_t(block.size()) &&
                  ::ftruncate(fd, off_t(block.size())) == 0 &&
                  ::pread(fd, back.data(), back.size(), 0) == ssize_t(block.size());
        ok = ::close(fd) == 0 && ok;
        if (!ok) {
            state.SkipWithError("sample file I/O failed");
            break;
        }
        benchmark::DoNotOptimize(back.data());
    }
}
BENCHMARK(ChannelTickPhysicalLimit);

// What the obvious code does: open for writing (which truncates), write the lines with stdio, close, then open,
// read the numbers with stdio, close. The file ends up the same.
void ChannelTickNaive(benchmark::State& state) {
    const std::string file = path(dataDirectory(freshDirectory(QStringLiteral("channel-naive"))), "x1values.zvk");
    std::array<unsigned, 100> back{};
    for (auto _ : state) {
        FILE* out = std::fopen(file.c_str(), "w");
        if (out == nullptr) {
            state.SkipWithError("cannot write the sample file");
            break;
        }
        for (int i = 0; i < 100; ++i) {
            std::fprintf(out, "%u\r\n", 32750u);
        }
        std::fclose(out);
        FILE* in = std::fopen(file.c_str(), "r");
        if (in == nullptr) {
            state.SkipWithError("cannot read the sample file back");
            break;
        }
        for (unsigned& reading : back) {
            if (std::fscanf(in, "%u", &reading) != 1) {
                break;
            }
        }
        std::fclose(in);
        benchmark::DoNotOptimize(back.data());
    }
}
BENCHMARK(ChannelTickNaive);

// The poll tick with every contact at rest: a port read, the clock texts, four trigger labels that stay as they
// are, and no record.
void PollTick(benchmark::State& state) {
    Program program(freshDirectory(QStringLiteral("poll-tick")));
    kit::Timer& timer = program.zavok().zavok->Timer1;
    for (auto _ : state) {
        timer.fire();
    }
}
BENCHMARK(PollTick);

// The poll tick when alert 1 changes at every tick, so that each tick appends one record to the day's log.
void PollTickWithRecord(benchmark::State& state) {
    Program program(freshDirectory(QStringLiteral("poll-record")));
    kit::Timer& timer = program.zavok().zavok->Timer1;
    for (auto _ : state) {
        program.machine.port = program.machine.port == 240 ? 224 : 240;
        timer.fire();
    }
}
BENCHMARK(PollTickWithRecord);

// The same with a clock that stands still: the core's own part of the tick and its record.
void PollTickWithRecordStillClock(benchmark::State& state) {
    Program program(freshDirectory(QStringLiteral("poll-record-still")), Program::Clock::Still);
    kit::Timer& timer = program.zavok().zavok->Timer1;
    for (auto _ : state) {
        program.machine.port = program.machine.port == 240 ? 224 : 240;
        timer.fire();
    }
}
BENCHMARK(PollTickWithRecordStillClock);

// Where a poll tick's time goes: one reading of the machine's clock as the program takes it (local time), of which
// the tick takes three.
void ClockReading(benchmark::State& state) {
    const system::SystemClock clock;
    for (auto _ : state) {
        benchmark::DoNotOptimize(clock.now());
    }
}
BENCHMARK(ClockReading);

// The least a record can cost: open the log for appending, write the line, close.
void AppendRecordBaseline(benchmark::State& state) {
    const std::string file = path(workDirectory(freshDirectory(QStringLiteral("append-baseline"))), "Jul 13.txt");
    const std::string line = "\"Alert #1 activated at\",\"08:15:20 AM\",\"July 13,2001\"\r\n";
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        bool ok = fd >= 0 && ::write(fd, line.data(), line.size()) == ssize_t(line.size());
        ok = ::close(fd) == 0 && ok;
        if (!ok) {
            state.SkipWithError("log append failed");
            break;
        }
    }
}
BENCHMARK(AppendRecordBaseline);

} // namespace
} // namespace zavok::bench
