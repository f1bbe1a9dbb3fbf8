#include "mqtt_client.h"

#include <cerrno>
#include <cstring>
#include <mosquitto.h>

namespace zavok::platform {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kQos = 1;
constexpr int kLongestPauseSeconds = 30;
// How long one turn of the loop may wait for the network: the longest a stop waits for the thread.
constexpr int kLoopMs = 100;
// Where Debian keeps the system's certificate authorities.
constexpr const char* kSystemCas = "/etc/ssl/certs";

// libmosquitto keeps process-wide state that must be set up once before any client and torn down after the last.
class Library {
public:
    Library() { mosquitto_lib_init(); }
    ~Library() { mosquitto_lib_cleanup(); }
};

QString errorText(int rc) {
    return rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(errno))
                                : QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

MqttClient::MqttClient(MqttOptions options, const QString& clientId, const Message& will, QStringList subscriptions,
                       QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , subscriptions_(std::move(subscriptions)) {
    static const Library library;
    mosq_ = mosquitto_new(clientId.toUtf8().constData(), true, this);
    // Published from the program's thread while this one runs the connection.
    mosquitto_threaded_set(mosq_, true);
    mosquitto_int_option(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_will_set(mosq_, will.topic.toUtf8().constData(), int(will.payload.size()), will.payload.constData(), kQos,
                       will.retain);
    if (!options_.user.isEmpty() || !options_.password.isEmpty()) {
        mosquitto_username_pw_set(mosq_, options_.user.toUtf8().constData(),
                                  options_.password.isEmpty() ? nullptr : options_.password.toUtf8().constData());
    }
    mosquitto_connect_callback_set(mosq_, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &MqttClient::onDisconnect);
    mosquitto_publish_callback_set(mosq_, &MqttClient::onPublish);
    mosquitto_message_callback_set(mosq_, &MqttClient::onMessage);
}

MqttClient::~MqttClient() {
    stop(std::nullopt, {});
    mosquitto_destroy(mosq_);
}

QString MqttClient::where() const {
    return QStringLiteral("%1://%2:%3")
        .arg(options_.tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), options_.host)
        .arg(options_.port);
}

bool MqttClient::start() {
    if (options_.tls) {
        const QByteArray ca = options_.caFile.toLocal8Bit();
        const int rc = mosquitto_tls_set(mosq_, ca.isEmpty() ? nullptr : ca.constData(),
                                         ca.isEmpty() ? kSystemCas : nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            emit problem(Problem::Unreachable,
                         QStringLiteral("zavok: cannot set up TLS for the MQTT broker at %1 (%2); nothing is published")
                             .arg(where(), errorText(rc)));
            return false;
        }
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

int MqttClient::publish(const Message& message) {
    int id = -1;
    const QByteArray topic = message.topic.toUtf8();
    mosquitto_publish(mosq_, &id, topic.constData(), int(message.payload.size()), message.payload.constData(), kQos,
                      message.retain);
    return id;
}

void MqttClient::stop(const std::optional<Message>& last, std::chrono::milliseconds patience) {
    if (!thread_.joinable()) {
        return;
    }
    if (last && connected_) {
        const int id = publish(*last);
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, patience, [this, id] { return lastDelivered_ == id; });
    }
    stopping_ = true;
    mosquitto_disconnect(mosq_);
    wake_.notify_all();
    thread_.join();
    connected_ = false;
}

// The connection's own thread: connect, run the connection, and after any failure rest and connect again.
void MqttClient::run() {
    const QByteArray host = options_.host.toUtf8();
    bool first = true;
    bool connecting = true;
    while (!stopping_) {
        if (connecting) {
            attempt_ = Attempt::Pending;
            const int rc = first ? mosquitto_connect_async(mosq_, host.constData(), options_.port, kKeepAliveSeconds)
                                 : mosquitto_reconnect_async(mosq_);
            first = false;
            if (rc != MOSQ_ERR_SUCCESS) {
                unreachable(rc);
                rest();
                continue;
            }
            connecting = false;
        }
        const int rc = mosquitto_loop(mosq_, kLoopMs, 1);
        if (rc != MOSQ_ERR_SUCCESS && !stopping_) {
            // A refusal and a loss have been told by the callbacks already.
            if (attempt_ == Attempt::Pending) {
                unreachable(rc);
            }
            connecting = true;
            rest();
        }
    }
}

void MqttClient::unreachable(int rc) {
    emit problem(Problem::Unreachable, QStringLiteral("zavok: cannot reach the MQTT broker at %1 (%2); monitoring goes "
                                                      "on and ZAVOK keeps trying")
                                           .arg(where(), errorText(rc)));
}

void MqttClient::rest() {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::seconds(pauseSeconds_.load()), [this] { return stopping_.load(); });
    pauseSeconds_ = std::min(2 * pauseSeconds_.load(), kLongestPauseSeconds);
}

void MqttClient::onConnect(mosquitto* mosq, void* self, int rc) {
    auto* client = static_cast<MqttClient*>(self);
    if (rc != 0) {
        client->attempt_ = Attempt::Refused;
        // The broker closes the connection next, and the loop tries again after its pause.
        emit client->problem(Problem::Refused,
                             QStringLiteral("zavok: the MQTT broker at %1 refused ZAVOK (%2); monitoring goes on and "
                                            "ZAVOK keeps trying")
                                 .arg(client->where(), QString::fromUtf8(mosquitto_connack_string(rc))));
        return;
    }
    client->attempt_ = Attempt::Connected;
    client->pauseSeconds_ = 1;
    for (const QString& topic : client->subscriptions_) {
        mosquitto_subscribe(mosq, nullptr, topic.toUtf8().constData(), kQos);
    }
    client->connected_ = true;
    emit client->connected();
}

void MqttClient::onDisconnect(mosquitto*, void* self, int) {
    auto* client = static_cast<MqttClient*>(self);
    if (client->connected_.exchange(false) && !client->stopping_) {
        emit client->problem(Problem::Lost, QStringLiteral("zavok: lost the MQTT broker at %1; monitoring goes on and "
                                                           "ZAVOK keeps trying")
                                                .arg(client->where()));
        emit client->lost();
    }
}

void MqttClient::onPublish(mosquitto*, void* self, int id) {
    auto* client = static_cast<MqttClient*>(self);
    {
        const std::lock_guard lock(client->mutex_);
        client->lastDelivered_ = id;
    }
    client->wake_.notify_all();
    emit client->delivered(id);
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<MqttClient*>(self);
    emit client->received(QString::fromUtf8(message->topic),
                          QByteArray(static_cast<const char*>(message->payload), message->payloadlen), message->retain);
}

} // namespace zavok::platform
