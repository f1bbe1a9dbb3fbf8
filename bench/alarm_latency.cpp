// How long an alarm takes from a contact at the source to a subscriber of its MQTT topic on this machine: the real
// headless program reads a state file at its fastest poll period (0.1 s) and publishes to a mosquitto broker of
// this program's own; a subscriber times each change of zavok/<site>/alert/1. Changes come at random moments of the
// poll period, so the figures hold the wait for the next poll tick as the user meets it.
//
//   zavok_alarm_latency ZAVOK WORK-DIR COUNT OUT.json

#include "mqtt_rig.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <random>

using namespace zavok::bench;

namespace {

constexpr int kPollMs = 100;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fputs("usage: zavok_alarm_latency ZAVOK WORK-DIR COUNT OUT.json\n", stderr);
        return 2;
    }
    const int count = std::atoi(argv[3]);
    std::vector<double> latencies;
    {
        MqttRig rig(QString::fromLocal8Bit(argv[1]), QDir(QString::fromLocal8Bit(argv[2])), {});
        rig.listen({QStringLiteral("zavok/bench/alert/1")});
        if (!await(rig.heard(), "OFF")) {
            std::fputs("zavok_alarm_latency: the program published no alert state\n", stderr);
            return 1;
        }
        std::mt19937 random(1);
        std::uniform_int_distribution<int> phase(0, kPollMs - 1);
        for (int i = 0; i < count; ++i) {
            QThread::msleep(std::uint64_t(phase(random)));
            const bool closed = i % 2 == 0;
            rig.writeState(closed ? 0xEF : 0xFF);
            const auto changed = SteadyClock::now();
            const auto arrived = await(rig.heard(), closed ? "ON" : "OFF");
            if (!arrived) {
                std::fprintf(stderr, "zavok_alarm_latency: change %d never arrived\n", i);
                return 1;
            }
            latencies.push_back(msBetween(changed, *arrived));
        }
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
