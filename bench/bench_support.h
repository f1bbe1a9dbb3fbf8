#pragma once

#include "app/zavok.h"
#include "kit/virtual_scheduler.h"

#include <QString>

#include <memory>

namespace zavok::bench {

// Where the benchmarks keep their files: $ZAVOK_BENCH_DIR, else bench-files in the working directory. The
// figures only mean something on the file system the program really runs on (ext4 here, not tmpfs), which is why
// scripts/bench names the directory and the report says what file system it was.
QString directory();
// An empty directory of that name below directory().
QString freshDirectory(const QString& name);

// CLOCK_MONOTONIC in nanoseconds: comparable between processes, for the start-up probes.
qint64 monotonicNs();

// Where the program under benchmark (and the soak's rig) keeps its settings and sample files, and its log, below
// `root`, made if need be: a baseline writes its files as deep, since every directory of a path is looked up at each
// open (one directory costs about 18 ns of an 850 ns append).
QString dataDirectory(const QString& root);
QString workDirectory(const QString& root);

// The machine the core runs on in a benchmark: the contacts at rest unless the benchmark says otherwise, every
// axis steady at the documented example's 32750, and no user at the keyboard.
struct SteadyMachine final : kit::GamePort, kit::Joysticks, kit::Dialogs, kit::Bell, kit::Pictures {
    qint16 Inzavok(int) override { return port; }
    void Outzavok(int, int) override {}
    int joyGetPos(int, kit::JOYINFO& info) override {
        info.wXpos = axis;
        info.wYpos = axis;
        return 0;
    }
    void message(const QString&, const QString&) override {}
    QString input(const QString&, const QString&, const QString& proposal) override { return proposal; }
    std::optional<QString> openFile(const kit::OpenFileRequest&) override { return std::nullopt; }
    void beep() override {}
    bool canLoad(const QString&) const override { return false; }

    qint16 port = 240;
    quint32 axis = 32750;
};

// The whole core, started on virtual time with the machine's real clock (or, to tell the core's own cost from the
// clock's, a clock that stands still), its data directory and working directory below `root`. Nothing ticks until
// the benchmark fires a timer.
class Program {
public:
    enum class Clock { System, Still };
    explicit Program(const QString& root, Clock clock = Clock::System);
    ~Program();

    Zavok& zavok() { return *zavok_; }
    SteadyMachine machine;

private:
    kit::VirtualScheduler scheduler_;
    std::unique_ptr<kit::Clock> clock_;
    std::unique_ptr<Zavok> zavok_;
};

} // namespace zavok::bench
