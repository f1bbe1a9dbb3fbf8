#pragma once

#include "command_line.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace zavok::platform {

// A connection to an MQTT broker through libmosquitto, run on a thread of its own, so that nothing the network does
// can hold up the program's one thread. It connects, and after any failure or loss connects again, with a pause
// that grows from one second to thirty. Its signals arrive on the thread that made it.
class MqttClient final : public QObject {
    Q_OBJECT

public:
    struct Message {
        QString topic;
        QByteArray payload;
        bool retain = false;
    };

    // What went wrong, each kind told to the user once until the next good connection.
    enum class Problem { Unreachable, Refused, Lost };
    Q_ENUM(Problem)

    // `will` is what the broker says for this client when it vanishes; `subscriptions` are taken again at every
    // connection.
    MqttClient(MqttOptions options, const QString& clientId, const Message& will, QStringList subscriptions,
               QObject* parent = nullptr);
    ~MqttClient() override;

    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Starts the connection's thread. False, with the reason told through problem(), when TLS cannot be set up: the
    // client then never connects rather than talk to the broker in the clear.
    bool start();

    // Hands a message to the connection at QoS 1; its id, which delivered() tells once the broker has it. A message
    // handed over while the connection is failing is kept and sent again once it is back.
    int publish(const Message& message);

    // Says `last` (if connected) and waits at most `patience` for the broker to have it, then disconnects and stops
    // the thread. Safe to call more than once.
    void stop(const std::optional<Message>& last, std::chrono::milliseconds patience);

signals:
    void connected();
    void lost();
    void delivered(int id);
    void received(const QString& topic, const QByteArray& payload, bool retained);
    void problem(zavok::platform::MqttClient::Problem kind, const QString& line);

private:
    static void onConnect(mosquitto* mosq, void* self, int rc);
    static void onDisconnect(mosquitto* mosq, void* self, int rc);
    static void onPublish(mosquitto* mosq, void* self, int id);
    static void onMessage(mosquitto* mosq, void* self, const mosquitto_message* message);

    void run();
    void rest();
    void unreachable(int rc);
    QString where() const;

    MqttOptions options_;
    QStringList subscriptions_;
    mosquitto* mosq_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> connected_{false};
    // How the connection being made has gone: not answered yet, connected, or refused by the broker.
    enum class Attempt { Pending, Connected, Refused };
    std::atomic<Attempt> attempt_{Attempt::Pending};
    std::atomic<int> pauseSeconds_{1};
    std::mutex mutex_;
    std::condition_variable wake_;
    int lastDelivered_ = -1; // guarded by mutex_
};

} // namespace zavok::platform
