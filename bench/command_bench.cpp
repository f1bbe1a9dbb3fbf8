// What a command from the broker costs the real headless program with --mqtt-commands, on this machine:
//
// - command to state: circuit 2's switch commanded from the broker, from the publication of the command to its new
//   state at a subscriber, in turns with the same round trip through a bare echo client (a command topic in, a state
//   topic out) on the same broker and subscriber: the transport that any client of that broker has;
// - a flood: 1,000 such commands a second for 10 s, against the program's poll ticks, each seen as the open of the
//   state file that the tick reads (inotify), and its resident memory once a second; then the same flood of the
//   bell's switch, a command that changes no setting, so that nothing is saved for it. The ticks of the quiet
//   seconds before each flood are the baseline of their lateness.
//
//   zavok_command_bench ZAVOK WORK-DIR COUNT OUT.json

#include "mqtt_rig.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <mosquitto.h>
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

using namespace zavok::bench;

namespace {

constexpr int kPollMs = 100;
constexpr int kFloodPerSecond = 1000;
constexpr int kFloodSeconds = 10;
constexpr int kQuietSeconds = 3;

const QString kCommand = QStringLiteral("zavok/bench/circuit/2/set");
const QString kState = QStringLiteral("zavok/bench/circuit/2");
const QString kBell = QStringLiteral("zavok/bench/bell/set");
const char* const kEchoIn = "bench/echo/set";
const QString kEchoOut = QStringLiteral("bench/echo");

// A client that says again on kEchoOut whatever comes on kEchoIn: the least any program that takes a command and
// publishes its state can do.
void echo(mosquitto* client, void*, const mosquitto_message* message) {
    mosquitto_publish(client, nullptr, kEchoOut.toUtf8().constData(), message->payloadlen, message->payload, 1, false);
}

// The moments at which the program opens the state file: one for each poll tick while every channel is off.
class Opens {
public:
    explicit Opens(const QString& path) : fd_(inotify_init1(IN_NONBLOCK)) {
        inotify_add_watch(fd_, QFile::encodeName(path).constData(), IN_OPEN);
        thread_ = std::thread([this] { run(); });
    }
    ~Opens() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    // Those from `from` on, and before `to`.
    std::vector<SteadyClock::time_point> between(SteadyClock::time_point from, SteadyClock::time_point to) {
        const std::lock_guard lock(mutex_);
        std::vector<SteadyClock::time_point> found;
        std::copy_if(at_.begin(), at_.end(), std::back_inserter(found),
                     [&](SteadyClock::time_point t) { return t >= from && t < to; });
        return found;
    }

private:
    void run() {
        char buffer[4096];
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0 && ::read(fd_, buffer, sizeof buffer) > 0) {
                const std::lock_guard lock(mutex_);
                at_.push_back(SteadyClock::now());
            }
        }
    }

    int fd_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SteadyClock::time_point> at_;
    std::thread thread_;
};

// How late each tick came after the one before it, beyond the poll period; a tick that never came makes the next one
// late by a whole period.
std::vector<double> lateness(const std::vector<SteadyClock::time_point>& ticks) {
    std::vector<double> late;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        late.push_back(std::max(0.0, msBetween(ticks.at(i - 1), ticks.at(i)) - kPollMs));
    }
    return late;
}

qint64 rssKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    status.open(QIODevice::ReadOnly);
    return QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+) kB"))
        .match(QString::fromLatin1(status.readAll()))
        .captured(1)
        .toLongLong();
}

QByteArray switched(int i) {
    return i % 2 == 0 ? QByteArrayLiteral("OFF") : QByteArrayLiteral("ON");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fputs("usage: zavok_command_bench ZAVOK WORK-DIR COUNT OUT.json\n", stderr);
        return 2;
    }
    const int count = std::atoi(argv[3]);
    MqttRig rig(QString::fromLocal8Bit(argv[1]), QDir(QString::fromLocal8Bit(argv[2])),
                {QStringLiteral("--mqtt-commands")});
    mosquitto* echoer = mosquitto_new(nullptr, true, nullptr);
    mosquitto_int_option(echoer, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_message_callback_set(echoer, echo);
    mosquitto_connect(echoer, "127.0.0.1", rig.brokerPort(), 30);
    mosquitto_subscribe(echoer, nullptr, kEchoIn, 1);
    mosquitto_loop_start(echoer);
    rig.listen({kState, kEchoOut});
    if (!await(rig.heard(), "ON")) {
        std::fputs("zavok_command_bench: the program published no state of circuit 2\n", stderr);
        return 1;
    }

    std::vector<double> commands;
    std::vector<double> echoes;
    for (int i = 0; i < count; ++i) {
        const QByteArray payload = switched(i);
        const auto sent = SteadyClock::now();
        rig.publish(kCommand, payload);
        const auto state = await(rig.heard(), payload);
        const QByteArray again = "echo " + QByteArray::number(i);
        const auto echoSent = SteadyClock::now();
        rig.publish(QString::fromLatin1(kEchoIn), again);
        const auto echoed = await(rig.heard(), again);
        if (!state || !echoed) {
            std::fprintf(stderr, "zavok_command_bench: command %d was not answered\n", i);
            return 1;
        }
        commands.push_back(msBetween(sent, *state));
        echoes.push_back(msBetween(echoSent, *echoed));
    }

    Opens opens(rig.statePath());
    QString floods;
    for (const auto& [name, command] : {std::pair{"circuit", kCommand}, std::pair{"bell", kBell}}) {
        const auto quietFrom = SteadyClock::now();
        QThread::sleep(kQuietSeconds);
        const auto floodFrom = SteadyClock::now();
        std::vector<qint64> rss;
        for (int i = 0; i < kFloodPerSecond * kFloodSeconds; ++i) {
            std::this_thread::sleep_until(floodFrom + std::chrono::microseconds(i * 1000000LL / kFloodPerSecond));
            rig.publish(command, switched(i));
            if ((i + 1) % kFloodPerSecond == 0) {
                rss.push_back(rssKb(rig.programPid()));
            }
        }
        const std::vector<double> quiet = lateness(opens.between(quietFrom, floodFrom));
        const std::vector<double> flood = lateness(opens.between(floodFrom, SteadyClock::now()));
        if (quiet.size() < 10 || flood.empty()) {
            std::fputs("zavok_command_bench: the program's poll ticks were not seen\n", stderr);
            return 1;
        }
        floods += QStringLiteral(", \"%1\": {\"quiet_ticks\": %2, \"quiet_late_p99_ms\": %3, \"flood_ticks\": %4, "
                                 "\"flood_late_p99_ms\": %5, \"flood_late_max_ms\": %6, \"rss_first_kb\": %7, "
                                 "\"rss_last_kb\": %8}")
                      .arg(QLatin1String(name))
                      .arg(quiet.size() + 1)
                      .arg(percentile(quiet, 0.99), 0, 'f', 2)
                      .arg(flood.size() + 1)
                      .arg(percentile(flood, 0.99), 0, 'f', 2)
                      .arg(*std::max_element(flood.begin(), flood.end()), 0, 'f', 2)
                      .arg(rss.front())
                      .arg(rss.back());
    }
    mosquitto_loop_stop(echoer, true);
    mosquitto_destroy(echoer);

    QFile out(QString::fromLocal8Bit(argv[4]));
    out.open(QIODevice::WriteOnly);
    out.write(
        QStringLiteral("{\"commands\": %1, \"command_p50_ms\": %2, \"command_p99_ms\": %3, \"echo_p50_ms\": %4, "
                       "\"echo_p99_ms\": %5, \"flood_per_second\": %6, \"flood_seconds\": %7, \"poll_ms\": %8%9}\n")
            .arg(commands.size())
            .arg(percentile(commands, 0.50), 0, 'f', 2)
            .arg(percentile(commands, 0.99), 0, 'f', 2)
            .arg(percentile(echoes, 0.50), 0, 'f', 2)
            .arg(percentile(echoes, 0.99), 0, 'f', 2)
            .arg(kFloodPerSecond)
            .arg(kFloodSeconds)
            .arg(kPollMs)
            .arg(floods)
            .toUtf8());
    return 0;
}
