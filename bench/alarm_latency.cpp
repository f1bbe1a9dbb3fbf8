// How long an alarm takes from a contact at the source to a subscriber of its MQTT topic on this machine: the real
// headless program reads a state file at its fastest poll period (0.1 s) and publishes to a mosquitto broker of
// this program's own; a subscriber times each change of zavok/<site>/alert/1. Changes come at random moments of the
// poll period, so the figures hold the wait for the next poll tick as the user meets it.
//
//   zavok_alarm_latency ZAVOK WORK-DIR COUNT OUT.json

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mosquitto.h>
#include <mutex>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollMs = 100;

// The payloads heard on the alert's topic, with the moment each came.
struct Heard {
    std::mutex mutex;
    std::condition_variable came;
    std::deque<std::pair<QByteArray, Clock::time_point>> messages;
};

void onMessage(mosquitto*, void* heard, const mosquitto_message* message) {
    auto& h = *static_cast<Heard*>(heard);
    const std::lock_guard lock(h.mutex);
    h.messages.emplace_back(QByteArray(static_cast<const char*>(message->payload), message->payloadlen), Clock::now());
    h.came.notify_all();
}

// Waits for `payload` and says when it came; nothing after the patience is over.
std::optional<Clock::time_point> await(Heard& heard, const QByteArray& payload) {
    std::unique_lock lock(heard.mutex);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    for (;;) {
        while (!heard.messages.empty()) {
            const auto [got, at] = heard.messages.front();
            heard.messages.pop_front();
            if (got == payload) {
                return at;
            }
        }
        if (heard.came.wait_until(lock, deadline) == std::cv_status::timeout) {
            return std::nullopt;
        }
    }
}

// Replaces the state file whole, so that the program never reads it half written.
void writeState(const QString& path, int port) {
    QFile file(path + QStringLiteral(".new"));
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::number(port) + " 0 0 0 0\n");
    file.close();
    std::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(), QFile::encodeName(path).constData());
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, std::size_t(p * double(values.size()))));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fputs("usage: zavok_alarm_latency ZAVOK WORK-DIR COUNT OUT.json\n", stderr);
        return 2;
    }
    const QString zavok = QString::fromLocal8Bit(argv[1]);
    const QDir work(QString::fromLocal8Bit(argv[2]));
    const int count = std::atoi(argv[3]);
    QDir().mkpath(work.path());
    const int brokerPort = 18000 + int(QCoreApplication::applicationPid() % 1000);

    QFile config(work.filePath(QStringLiteral("mosquitto.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\npersistence false\nset_tcp_nodelay true\n"
                                "user root\n")
                     .arg(brokerPort)
                     .toUtf8());
    config.close();
    QProcess broker;
    broker.start(QStandardPaths::findExecutable(QStringLiteral("mosquitto")),
                 {QStringLiteral("-c"), config.fileName()});
    broker.waitForStarted();
    QThread::msleep(200);

    const QString state = work.filePath(QStringLiteral("state.txt"));
    writeState(state, 0xFF);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("XDG_DATA_HOME"), work.filePath(QStringLiteral("xdg")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(work.path());
    program.setStandardOutputFile(work.filePath(QStringLiteral("zavok.out")));
    program.setStandardErrorFile(work.filePath(QStringLiteral("zavok.err")));
    program.start(zavok,
                  {QStringLiteral("--headless"), QStringLiteral("--input=file:") + state,
                   QStringLiteral("--mqtt=mqtt://127.0.0.1:%1").arg(brokerPort), QStringLiteral("--site=bench")});

    mosquitto_lib_init();
    Heard heard;
    mosquitto* subscriber = mosquitto_new(nullptr, true, &heard);
    mosquitto_int_option(subscriber, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_message_callback_set(subscriber, onMessage);
    mosquitto_connect(subscriber, "127.0.0.1", brokerPort, 30);
    mosquitto_subscribe(subscriber, nullptr, "zavok/bench/alert/1", 1);
    mosquitto_loop_start(subscriber);

    int status = 0;
    std::vector<double> latencies;
    if (!await(heard, "OFF")) {
        std::fputs("zavok_alarm_latency: the program published no alert state\n", stderr);
        status = 1;
    }
    std::mt19937 random(1);
    std::uniform_int_distribution<int> phase(0, kPollMs - 1);
    for (int i = 0; status == 0 && i < count; ++i) {
        QThread::msleep(std::uint64_t(phase(random)));
        const bool closed = i % 2 == 0;
        writeState(state, closed ? 0xEF : 0xFF);
        const auto changed = Clock::now();
        const auto arrived = await(heard, closed ? "ON" : "OFF");
        if (!arrived) {
            std::fprintf(stderr, "zavok_alarm_latency: change %d never arrived\n", i);
            status = 1;
            break;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(*arrived - changed).count());
    }
    mosquitto_loop_stop(subscriber, true);
    mosquitto_destroy(subscriber);
    mosquitto_lib_cleanup();
    program.terminate();
    program.waitForFinished();
    broker.terminate();
    broker.waitForFinished();
    if (status != 0) {
        return status;
    }

    QFile out(QString::fromLocal8Bit(argv[4]));
    out.open(QIODevice::WriteOnly);
    out.write(QStringLiteral("{\"poll_ms\": %1, \"changes\": %2, \"p50_ms\": %3, \"p99_ms\": %4, \"max_ms\": %5}\n")
                  .arg(kPollMs)
                  .arg(latencies.size())
                  .arg(percentile(latencies, 0.50), 0, 'f', 1)
                  .arg(percentile(latencies, 0.99), 0, 'f', 1)
                  .arg(*std::max_element(latencies.begin(), latencies.end()), 0, 'f', 1)
                  .toUtf8());
    return 0;
}
