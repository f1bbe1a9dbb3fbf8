// Start-up: of the core alone in this process, and of the program itself, as a user starts it, to its first painted
// main window (offscreen, timed from posix_spawn; first_paint_hook.cpp ends it there), in turns with a bare Qt
// Widgets window with one label started and timed the same way.
#include "bench_support.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <array>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace zavok::bench {
namespace {

// The core's start-up: the windows built, the settings read, the start record written, every zone classified.
// The settings are the ones the previous iteration saved, as on any day but the first.
void CoreStartup(benchmark::State& state) {
    const QString root = freshDirectory(QStringLiteral("core-startup"));
    for (auto _ : state) {
        auto program = std::make_unique<Program>(root);
        benchmark::DoNotOptimize(program.get());
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(CoreStartup)->Unit(benchmark::kMillisecond);

// Runs `program` offscreen in `directory` (its working directory and its XDG data home) with the first-paint hook,
// and returns the moment the hook printed, the CLOCK_MONOTONIC nanoseconds of the first paint of the top-level
// window named `window`; -1 when it failed.
qint64 firstPaint(const std::string& program, const char* window, const QString& directory) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string variable(*e);
        const std::string name = variable.substr(0, variable.find('='));
        if (name != "QT_QPA_PLATFORM" && name != "XDG_DATA_HOME" && name != "LD_PRELOAD" &&
            name != "ZAVOK_FIRST_PAINT_WINDOW") {
            environment.push_back(variable);
        }
    }
    environment.emplace_back("QT_QPA_PLATFORM=offscreen");
    environment.push_back("XDG_DATA_HOME=" + QDir(directory).filePath(QStringLiteral("data")).toStdString());
    environment.emplace_back("LD_PRELOAD=" ZAVOK_FIRST_PAINT_HOOK);
    environment.push_back(std::string("ZAVOK_FIRST_PAINT_WINDOW=") + window);
    std::vector<char*> envp;
    for (std::string& e : environment) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string name = program;
    std::vector<char*> argv{name.data(), nullptr};

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    const std::string cwd = directory.toStdString();
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string printed;
    char chunk[64];
    for (ssize_t n; spawned == 0 && (n = ::read(out[0], chunk, sizeof chunk)) != 0;) {
        if (n > 0) {
            printed.append(chunk, std::size_t(n));
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(out[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return std::atoll(printed.c_str());
}

// Milliseconds from posix_spawn to the first paint that `program` reported, -1 when it failed.
double startedIn(const std::string& program, const char* window, const QString& directory) {
    const qint64 start = monotonicNs();
    const qint64 painted = firstPaint(program, window, directory);
    return painted < start ? -1 : double(painted - start) / 1e6;
}

// Without arguments, as from the desktop: the joysticks are looked for, and without one the simulator comes up too.
// The settings are those of a first run (every run ends before it could save any). The program and the bare window
// start in turns, each in a directory of its own, so that both see the same machine however its speed drifts; one
// start of each comes first, untimed, as any later start finds their libraries read already. The time is the
// program's; the counters hold the bare window's and the ratio of the two.
void StartupToMainWindow(benchmark::State& state) {
    const std::array<std::pair<std::string, const char*>, 2> programs{
        {{ZAVOK_BARE_WINDOW, ""}, {ZAVOK_PROGRAM, "zavok"}}};
    const std::array<QString, 2> directories{freshDirectory(QStringLiteral("startup-bare")),
                                             freshDirectory(QStringLiteral("startup-zavok"))};
    for (std::size_t i = 0; i < 2; ++i) {
        if (startedIn(programs.at(i).first, programs.at(i).second, directories.at(i)) < 0) {
            state.SkipWithError("a program did not report a painted window");
            return;
        }
    }
    std::array<double, 2> spent{};
    std::size_t turn = 0;
    for (auto _ : state) {
        std::array<double, 2> took{};
        for (std::size_t i = 0; i < 2; ++i) {
            const std::size_t which = (turn + i) % 2;
            took.at(which) = startedIn(programs.at(which).first, programs.at(which).second, directories.at(which));
        }
        ++turn;
        if (took[0] < 0 || took[1] < 0) {
            state.SkipWithError("a program did not report a painted window");
            break;
        }
        spent[0] += took[0];
        spent[1] += took[1];
        state.SetIterationTime(took[1] / 1e3);
    }
    state.counters["bare_ns"] = spent[0] * 1e6 / double(state.iterations());
    state.counters["ratio"] = spent[1] / spent[0];
}
BENCHMARK(StartupToMainWindow)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zavok::bench
