#include "bench_support.h"

#include "system/system_clock.h"

#include <QDir>

#include <time.h>

namespace zavok::bench {

QString directory() {
    const QString dir = qEnvironmentVariableIsEmpty("ZAVOK_BENCH_DIR")
                            ? QDir::current().filePath(QStringLiteral("bench-files"))
                            : qEnvironmentVariable("ZAVOK_BENCH_DIR");
    QDir().mkpath(dir);
    return dir;
}

QString freshDirectory(const QString& name) {
    QDir dir(QDir(directory()).filePath(name));
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    return dir.path();
}

qint64 monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

QString dataDirectory(const QString& root) {
    const QString dir = QDir(root).filePath(QStringLiteral("data/zavok"));
    QDir().mkpath(dir);
    return dir;
}

QString workDirectory(const QString& root) {
    const QString dir = QDir(root).filePath(QStringLiteral("work"));
    QDir().mkpath(dir);
    return dir;
}

namespace {

class StillClock final : public kit::Clock {
public:
    QDateTime now() const override { return moment_; }

private:
    // As the machine's clock gives a moment, with its offset from UTC: a moment in local time would make every
    // date and time the tick takes of it a look-up in the time-zone database, which the program never pays.
    QDateTime moment_ = system::SystemClock().now();
};

} // namespace

Program::Program(const QString& root, Clock clock)
    : clock_(clock == Clock::System ? std::unique_ptr<kit::Clock>(std::make_unique<system::SystemClock>())
                                    : std::make_unique<StillClock>()) {
    const QString data = dataDirectory(root);
    const QString work = workDirectory(root);
    zavok_ = std::make_unique<Zavok>(Platform{scheduler_, *clock_, QLocale(QLocale::English, QLocale::UnitedStates),
                                              machine, machine, machine, machine, machine, data, work, work});
    zavok_->startup();
}

Program::~Program() = default;

} // namespace zavok::bench
