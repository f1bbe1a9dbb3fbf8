#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

struct mosquitto;

namespace zavok::bench {

using SteadyClock = std::chrono::steady_clock;

// The payloads heard on a subscriber's topics, with the moment each came.
struct Heard {
    std::mutex mutex;
    std::condition_variable came;
    std::deque<std::pair<QByteArray, SteadyClock::time_point>> messages;
};

// The real headless program reading a state file in WORK-DIR and publishing to a mosquitto broker of this program's
// own on loopback, as site "bench", with a subscriber of the rig's own: the pieces of the MQTT benchmarks.
class MqttRig {
public:
    MqttRig(const QString& zavok, const QDir& work, const QStringList& extraArguments);
    ~MqttRig();

    MqttRig(const MqttRig&) = delete;
    MqttRig& operator=(const MqttRig&) = delete;

    // The subscriber takes these topics (at QoS 1); what it hears comes in heard().
    void listen(const QStringList& topics);
    Heard& heard() { return heard_; }
    // Publishes from the subscriber's connection at QoS 1, not retained.
    void publish(const QString& topic, const QByteArray& payload);

    // Replaces the state file whole, so that the program never reads it half written.
    void writeState(int port) const;
    QString statePath() const;
    qint64 programPid() const { return program_.processId(); }
    int brokerPort() const { return brokerPort_; }

private:
    QDir work_;
    int brokerPort_;
    QProcess broker_;
    QProcess program_;
    Heard heard_;
    mosquitto* subscriber_ = nullptr;
};

// Waits for `payload`, skipping every other one, and says when it came; nothing after ten seconds.
std::optional<SteadyClock::time_point> await(Heard& heard, const QByteArray& payload);

double percentile(std::vector<double> values, double p);

double msBetween(SteadyClock::time_point from, SteadyClock::time_point to);

} // namespace zavok::bench
