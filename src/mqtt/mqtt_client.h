#pragma once

#include "mqtt_options.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace zavok::mqtt {

struct MosquittoLibrary;

// A connection to an MQTT broker through libmosquitto, run on a thread of its own, so that nothing the network does
// can hold up the program's one thread. It speaks MQTT 5, connects, and after any failure or loss connects again,
// with a pause that grows from one second to thirty. Its signals arrive on the thread that made it.
class MqttClient final : public QObject {
    Q_OBJECT

public:
    struct Message {
        QString topic;
        QByteArray payload;
        bool retain = false;
    };

    // The longest payload taken from the broker; a longer one is passed on without its payload. Every message ZAVOK
    // listens to is a word or two.
    static constexpr int kLongestPayload = 256;
    // An attempt that the broker has not answered in this time is given up and made again.
    static constexpr std::chrono::seconds kAnswerPatience{10};

    // What went wrong, each kind told to the user once until the next good connection.
    enum class Problem { Unreachable, Refused, Lost, Silent, Tls };
    Q_ENUM(Problem)

    // `will` is what the broker says for this client when it vanishes; `subscriptions` are taken again at every
    // connection.
    MqttClient(MqttOptions options, const QString& clientId, const Message& will, QStringList subscriptions,
               QObject* parent = nullptr);
    ~MqttClient() override;

    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Starts the connection's thread. Where TLS cannot be set up it tells why through problem() and never connects,
    // rather than talk to the broker in the clear.
    void start();

    // Hands a message to the connection at QoS 1; its id, which delivered() tells once the broker has it. A message
    // handed over while the connection is failing is kept and sent again once it is back.
    int publish(const Message& message);

    // Takes these topics too, now if connected and at every connection from now on.
    void subscribe(const QStringList& topics);

    // Says `last` (if connected) and waits at most `patience` for the broker to have it, then disconnects and stops
    // the thread. Safe to call more than once.
    void stop(const std::optional<Message>& last, std::chrono::milliseconds patience);

    // The broker's address as a URL writes it, for the lines that tell the user about it.
    QString where() const;

signals:
    void connected();
    void lost();
    void delivered(int id);
    // Another client's message, as published (retained or not); `whole` is false for a payload longer than
    // kLongestPayload, which then is left out.
    void received(const zavok::mqtt::MqttClient::Message& message, bool whole);
    void problem(zavok::mqtt::MqttClient::Problem kind, const QString& line);

private:
    static void onConnect(mosquitto* mosq, void* self, int rc);
    static void onDisconnect(mosquitto* mosq, void* self, int rc);
    static void onPublish(mosquitto* mosq, void* self, int id);
    static void onMessage(mosquitto* mosq, void* self, const mosquitto_message* message);
    static void onLog(mosquitto* mosq, void* self, int level, const char* text);

    void run();
    void rest();
    void failed(int rc);
    void take(const QString& topic);

    MqttOptions options_;
    const MosquittoLibrary* lib_ = nullptr;
    QString unloaded_; // why the library could not be loaded, when it could not
    mosquitto* mosq_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> connected_{false};
    // How the connection being made has gone: not answered yet, connected, or refused by the broker.
    enum class Attempt { Pending, Connected, Refused };
    std::atomic<Attempt> attempt_{Attempt::Pending};
    std::atomic<int> pauseSeconds_{1};
    // What the TLS library said went wrong with the attempt; only the connection's thread touches these.
    std::string tlsError_;
    bool wrongName_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    int lastDelivered_ = -1;    // guarded by mutex_
    QStringList subscriptions_; // guarded by mutex_
};

} // namespace zavok::mqtt
