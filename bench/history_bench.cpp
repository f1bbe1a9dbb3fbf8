// The history's costs: the channel tick with the history kept beside the same tick without it, and, on a year of four
// channels' history, the trend window showing a week and a month, the export of the whole year, and the file's size.
// The trend window is a widget, so this program has its own main with an application object (offscreen).
#include "bench_support.h"
#include "history/history_database.h"
#include "history/history_export.h"
#include "history/history_recorder.h"
#include "trend/trend_window.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace zavok::bench {
namespace {

constexpr qint64 kDay = qint64(24) * 60;
constexpr qint64 kYear = 365 * kDay;

void silent(const QString&) {}

// A year of four channels sampled at the fastest time (600 readings a minute), ending now, stored as the writer
// stores it (in time order, one transaction a batch): sensors that drift through the day, shown as whole numbers,
// whose means are hardly ever whole. Made once and kept while it still ends within the last hour.
QString yearOfHistory() {
    const QString path = QDir(directory()).filePath(QStringLiteral("year/history.sqlite"));
    const qint64 end = history::minuteOf(QDateTime::currentSecsSinceEpoch());
    {
        history::HistoryDatabase db;
        qint64 last = -1;
        if (QFile::exists(path) && db.open(path, history::HistoryDatabase::Access::ReadOnly).ok()) {
            db.forEachMinute(std::nullopt, end - 60, end, [&last](const history::MinuteRow& row) {
                last = row.minute;
                return true;
            });
        }
        if (last >= 0) {
            return path;
        }
    }
    QDir().mkpath(QFileInfo(path).path());
    for (const QString& file : QStringList{path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        QFile::remove(file);
    }
    history::HistoryDatabase db;
    db.open(path, history::HistoryDatabase::Access::ReadWrite);
    for (qint64 day = end - kYear; day < end; day += kDay) {
        history::HistoryBatch batch{day, {}, {}};
        for (qint64 m = day; m < std::min(day + kDay, end); ++m) {
            for (int c = 1; c <= 4; ++c) {
                const double level = 50 + 20 * std::sin(double(m) / 229 + c);
                const double noise = double((m * 7919 + c * 104729) % 1000) / 1000;
                batch.minutes.push_back({m, c, std::floor(level) - 2, level + noise, std::floor(level) + 3, 600});
            }
        }
        db.write(batch);
    }
    return path;
}

void waitUntilDrawn(trend::TrendWindow& window, const std::function<void()>& ask) {
    QEventLoop loop;
    QObject::connect(&window, &trend::TrendWindow::drawn, &loop, &QEventLoop::quit);
    ask();
    loop.exec();
}

// Channel 1's tick in two programs side by side, one keeping the history and one not, taken in turns so that both see
// the same machine; the time is the tick with the history, the counters hold both and their ratio.
void ChannelTickHistory(benchmark::State& state) {
    Program without(freshDirectory(QStringLiteral("tick-without-history")));
    const QString root = freshDirectory(QStringLiteral("tick-with-history"));
    Program with(root);
    const history::HistoryRecorder recorder(with.zavok(), QDir(root).filePath(QStringLiteral("history.sqlite")), 400,
                                            silent);
    std::array<kit::Timer*, 2> ticks{};
    for (Program* program : {&without, &with}) {
        program->zavok().channel(1).enable.click();
        ticks.at(program == &with ? 1 : 0) = &program->zavok().channel(1).Timer1;
    }
    using Clock = std::chrono::steady_clock;
    std::array<Clock::duration, 2> spent{};
    std::size_t turn = 0;
    for (auto _ : state) {
        std::array<Clock::duration, 2> took{};
        for (std::size_t i = 0; i < 2; ++i) {
            const std::size_t which = (turn + i) % 2;
            const auto start = Clock::now();
            ticks.at(which)->fire();
            took.at(which) = Clock::now() - start;
        }
        ++turn;
        spent[0] += took[0];
        spent[1] += took[1];
        state.SetIterationTime(std::chrono::duration<double>(took[1]).count());
    }
    const auto ns = [&state](Clock::duration d) {
        return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) / double(state.iterations());
    };
    state.counters["without_ns"] = ns(spent[0]);
    state.counters["with_ns"] = ns(spent[1]);
    state.counters["ratio"] = ns(spent[1]) / ns(spent[0]);
}
BENCHMARK(ChannelTickHistory)->UseManualTime();

// The trend window of channel 1 over the year: from the choice of the stretch to the chart painted, the history read
// on the writer's thread and summed up in buckets. Each time the window first goes back to the last hour.
void Trend(benchmark::State& state, trend::TrendWindow::Span span) {
    const QString path = yearOfHistory();
    Program program(freshDirectory(QStringLiteral("trend")));
    history::HistoryStore writer(path, 400, QDate::currentDate(), silent);
    trend::TrendWindow window(program.zavok(), 1, writer);
    window.show();
    waitUntilDrawn(window, [] {}); // the first question opens and checks the file
    for (auto _ : state) {
        state.PauseTiming();
        waitUntilDrawn(window, [&window] { window.choose(trend::TrendWindow::Span::Hour); });
        state.ResumeTiming();
        waitUntilDrawn(window, [&window, span] { window.choose(span); });
        benchmark::DoNotOptimize(window.grab());
    }
}
void TrendWeek(benchmark::State& state) {
    Trend(state, trend::TrendWindow::Span::Week);
}
BENCHMARK(TrendWeek)->Unit(benchmark::kMillisecond)->UseRealTime();

void TrendMonth(benchmark::State& state) {
    Trend(state, trend::TrendWindow::Span::Month);
}
BENCHMARK(TrendMonth)->Unit(benchmark::kMillisecond)->UseRealTime();

// zavok --history-csv of the whole year, every channel, to /dev/null.
void ExportYear(benchmark::State& state) {
    const QString path = yearOfHistory();
    QFile null(QStringLiteral("/dev/null"));
    null.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QString told;
    QTextStream err(&told);
    for (auto _ : state) {
        if (history::exportHistory(path, {}, null, err) != 0) {
            state.SkipWithError(qPrintable(told));
        }
    }
    state.counters["lines"] = double(kYear * 4);
}
BENCHMARK(ExportYear)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

// The size of that year's file: its time is nothing, its counter the megabytes.
void YearOfHistoryFile(benchmark::State& state) {
    const QString path = yearOfHistory();
    for (auto _ : state) {
        benchmark::DoNotOptimize(QFileInfo(path).size());
    }
    state.counters["megabytes"] = double(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(YearOfHistoryFile)->Iterations(1);

} // namespace
} // namespace zavok::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
