#include "mqtt_client.h"

#include "kit/printable.h"
#include "mosquitto_library.h"

#include <cerrno>
#include <cstring>
#include <mqtt_protocol.h>
#include <string_view>

namespace zavok::mqtt {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kQos = 1;
constexpr int kLongestPauseSeconds = 30;
// How long one turn of the loop may wait for the network. A message handed over and a stop while connected wake it
// at once (libmosquitto writes to its own wake-up socket), so this is how often an unanswered attempt's patience is
// looked at, and the longest a stop waits while a connection is being made. Ten turns a second cost a quiet service
// more than all its publishing.
constexpr int kLoopMs = 1000;
// Where Debian keeps the system's certificate authorities.
constexpr const char* kSystemCas = "/etc/ssl/certs";
// The broker is asked never to send a larger packet: room for any topic and for the properties a publisher may add
// to a short payload, and still far from the hundred megabytes that someone may publish on a command topic.
constexpr int kLargestPacket = 64 * 1024;
// Our own publications do not come back, each message keeps the retain flag its publisher gave it, and what the
// broker held before the subscription is not sent: ZAVOK publishes every state afresh at each connection anyway,
// and a retained command or birth says nothing new.
constexpr int kSubscriptionOptions =
    MQTT_SUB_OPT_NO_LOCAL | MQTT_SUB_OPT_RETAIN_AS_PUBLISHED | MQTT_SUB_OPT_SEND_RETAIN_NEVER;
// How libmosquitto's log passes on an error of the TLS library, and says that its check of the certificate's name
// failed.
constexpr std::string_view kTlsLibraryError = "OpenSSL Error[";
constexpr std::string_view kWrongName = "Error: host name verification failed.";
constexpr std::string_view kUnverified = "certificate verify failed";

QString errorText(const MosquittoLibrary& library, int rc) {
    return rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(errno))
                                : QString::fromUtf8(library.strerror_(rc));
}

const QString kGoesOn = QStringLiteral("; monitoring goes on and ZAVOK keeps trying");

// libmosquitto has no asynchronous connect that takes MQTT 5 properties. Its blocking one keeps them for every later
// connection and takes them before it looks at the host, so a call without a host hands them over and connects
// nowhere. The broker log of the tests shows the limit at work.
void limitPackets(const MosquittoLibrary& library, mosquitto* mosq) {
    mosquitto_property* properties = nullptr;
    library.property_add_int32_(&properties, MQTT_PROP_MAXIMUM_PACKET_SIZE, kLargestPacket);
    library.connect_bind_v5_(mosq, nullptr, 0, kKeepAliveSeconds, nullptr, properties);
    library.property_free_all_(&properties);
}

} // namespace

MqttClient::MqttClient(MqttOptions options, const QString& clientId, const Message& will, QStringList subscriptions,
                       QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , subscriptions_(std::move(subscriptions)) {
    lib_ = mosquittoLibrary(unloaded_);
    if (lib_ == nullptr) {
        return;
    }
    mosq_ = lib_->new_(clientId.toUtf8().constData(), true, this);
    lib_->int_option_(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    limitPackets(*lib_, mosq_);
    // Published from the program's thread while this one runs the connection.
    lib_->threaded_set_(mosq_, true);
    lib_->int_option_(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
    lib_->will_set_(mosq_, will.topic.toUtf8().constData(), int(will.payload.size()), will.payload.constData(), kQos,
                    will.retain);
    if (!options_.user.isEmpty() || !options_.password.isEmpty()) {
        lib_->username_pw_set_(mosq_, options_.user.toUtf8().constData(),
                               options_.password.isEmpty() ? nullptr : options_.password.toUtf8().constData());
    }
    lib_->connect_callback_set_(mosq_, &MqttClient::onConnect);
    lib_->disconnect_callback_set_(mosq_, &MqttClient::onDisconnect);
    lib_->publish_callback_set_(mosq_, &MqttClient::onPublish);
    lib_->message_callback_set_(mosq_, &MqttClient::onMessage);
    lib_->log_callback_set_(mosq_, &MqttClient::onLog);
}

MqttClient::~MqttClient() {
    stop(std::nullopt, {});
    if (mosq_ != nullptr) {
        lib_->destroy_(mosq_);
    }
}

QString MqttClient::where() const {
    // An IPv6 address stands in brackets, as in a URL, or its last group would read as the port.
    const QString host = kit::printable(options_.host);
    return QStringLiteral("%1://%2:%3")
        .arg(options_.tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"),
             host.contains(u':') ? u'[' + host + u']' : host)
        .arg(options_.port);
}

void MqttClient::start() {
    if (lib_ == nullptr) {
        emit problem(
            Problem::Unreachable,
            QStringLiteral("zavok: cannot load libmosquitto for the MQTT broker at %1 (%2); nothing is published")
                .arg(where(), unloaded_));
        return;
    }
    if (options_.tls) {
        const QByteArray ca = options_.caFile.toLocal8Bit();
        const int rc = lib_->tls_set_(mosq_, ca.isEmpty() ? nullptr : ca.constData(),
                                      ca.isEmpty() ? kSystemCas : nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            emit problem(Problem::Unreachable,
                         QStringLiteral("zavok: cannot set up TLS for the MQTT broker at %1 (%2); nothing is published")
                             .arg(where(), errorText(*lib_, rc)));
            return;
        }
    }
    thread_ = std::thread([this] { run(); });
}

int MqttClient::publish(const Message& message) {
    int id = -1;
    if (mosq_ == nullptr) {
        return id;
    }
    const QByteArray topic = message.topic.toUtf8();
    lib_->publish_(mosq_, &id, topic.constData(), int(message.payload.size()), message.payload.constData(), kQos,
                   message.retain);
    return id;
}

void MqttClient::subscribe(const QStringList& topics) {
    const std::lock_guard lock(mutex_);
    subscriptions_ << topics;
    if (connected_) {
        for (const QString& topic : topics) {
            take(topic);
        }
    }
}

void MqttClient::take(const QString& topic) {
    lib_->subscribe_v5_(mosq_, nullptr, topic.toUtf8().constData(), kQos, kSubscriptionOptions, nullptr);
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
    lib_->disconnect_(mosq_);
    wake_.notify_all();
    thread_.join();
    connected_ = false;
}

// The connection's own thread: connect, run the connection, and after any failure rest and connect again.
// libmosquitto's own loop (mosquitto_loop_start with mosquitto_reconnect_delay_set) rests and reconnects as well,
// but it cannot serve two things the user is told: it retries a failed attempt (a broker that cannot be reached, a
// name that does not resolve, a TLS handshake that fails) without handing its reason to any callback, so the program
// could not say why it has no broker nor tell an unreachable broker from a refusal; and it has no bound on the wait
// for the broker's answer, so a broker that takes the connection and never answers would hold the attempt, unsaid,
// until the keep-alive runs out. Hence this loop of single turns, each turn's result in hand.
void MqttClient::run() {
    const QByteArray host = options_.host.toUtf8();
    bool first = true;
    bool connecting = true;
    auto answerBy = std::chrono::steady_clock::now();
    while (!stopping_) {
        if (connecting) {
            attempt_ = Attempt::Pending;
            tlsError_.clear();
            wrongName_ = false;
            answerBy = std::chrono::steady_clock::now() + kAnswerPatience;
            const int rc = first ? lib_->connect_async_(mosq_, host.constData(), options_.port, kKeepAliveSeconds)
                                 : lib_->reconnect_async_(mosq_);
            first = false;
            if (rc != MOSQ_ERR_SUCCESS) {
                failed(rc);
                rest();
                continue;
            }
            connecting = false;
        }
        const int rc = lib_->loop_(mosq_, kLoopMs, 1);
        if (stopping_) {
            break;
        }
        if (rc == MOSQ_ERR_SUCCESS) {
            if (attempt_ != Attempt::Pending || std::chrono::steady_clock::now() < answerBy) {
                continue;
            }
            emit problem(Problem::Silent, QStringLiteral("zavok: no answer from the MQTT broker at %1 in %2 s")
                                                  .arg(where())
                                                  .arg(kAnswerPatience.count()) +
                                              kGoesOn);
        } else if (attempt_ == Attempt::Pending) {
            // A refusal and a loss have been told by the callbacks already.
            failed(rc);
        }
        // The next attempt closes what is left of this one.
        connecting = true;
        rest();
    }
}

// An attempt that failed before the broker answered: the TLS library's own words when it was TLS that failed.
void MqttClient::failed(int rc) {
    if (wrongName_) {
        emit problem(Problem::Tls, QStringLiteral("zavok: the MQTT broker at %1 showed a certificate for another name "
                                                  "(host name verification failed)")
                                           .arg(where()) +
                                       kGoesOn);
    } else if (tlsError_ == kUnverified) {
        const QString cas = options_.caFile.isEmpty() ? QStringLiteral("the system's CAs")
                                                      : QStringLiteral("the CA in ") + kit::printable(options_.caFile);
        emit problem(Problem::Tls,
                     QStringLiteral("zavok: the certificate of the MQTT broker at %1 cannot be verified with %2 (%3)")
                             .arg(where(), cas, QString::fromStdString(tlsError_)) +
                         kGoesOn);
    } else if (!tlsError_.empty()) {
        emit problem(Problem::Tls, QStringLiteral("zavok: no TLS with the MQTT broker at %1 (%2); is that port its TLS "
                                                  "port?")
                                           .arg(where(), QString::fromStdString(tlsError_)) +
                                       kGoesOn);
    } else {
        emit problem(
            Problem::Unreachable,
            QStringLiteral("zavok: cannot reach the MQTT broker at %1 (%2)").arg(where(), errorText(*lib_, rc)) +
                kGoesOn);
    }
}

void MqttClient::rest() {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::seconds(pauseSeconds_.load()), [this] { return stopping_.load(); });
    pauseSeconds_ = std::min(2 * pauseSeconds_.load(), kLongestPauseSeconds);
}

void MqttClient::onConnect(mosquitto*, void* self, int rc) {
    auto* client = static_cast<MqttClient*>(self);
    if (rc != 0) {
        client->attempt_ = Attempt::Refused;
        // The broker closes the connection next, and the loop tries again after its pause.
        emit client->problem(Problem::Refused,
                             QStringLiteral("zavok: the MQTT broker at %1 refused ZAVOK (%2)")
                                     .arg(client->where(), QString::fromUtf8(client->lib_->reason_string_(rc))) +
                                 kGoesOn);
        return;
    }
    client->attempt_ = Attempt::Connected;
    client->pauseSeconds_ = 1;
    {
        const std::lock_guard lock(client->mutex_);
        for (const QString& topic : client->subscriptions_) {
            client->take(topic);
        }
        client->connected_ = true;
    }
    emit client->connected();
}

void MqttClient::onDisconnect(mosquitto*, void* self, int) {
    auto* client = static_cast<MqttClient*>(self);
    if (client->connected_.exchange(false) && !client->stopping_) {
        // The loss first: whoever reads the line can count on the records made after it waiting for the broker.
        emit client->lost();
        emit client->problem(Problem::Lost,
                             QStringLiteral("zavok: lost the MQTT broker at %1").arg(client->where()) + kGoesOn);
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
    // A long payload is never copied, however large the broker let it be.
    const bool whole = message->payloadlen <= kLongestPayload;
    emit client->received(
        {QString::fromUtf8(message->topic),
         whole ? QByteArray(static_cast<const char*>(message->payload), message->payloadlen) : QByteArray(),
         message->retain},
        whole);
}

// libmosquitto does its reading and writing, and so its TLS, on the connection's thread, and tells there what failed.
void MqttClient::onLog(mosquitto*, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR) {
        return;
    }
    auto* client = static_cast<MqttClient*>(self);
    const std::string_view line(text);
    if (line == kWrongName) {
        client->wrongName_ = true;
    } else if (line.starts_with(kTlsLibraryError) && client->tlsError_.empty()) {
        // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed": the reason is the last field.
        client->tlsError_ = line.substr(line.rfind(':') + 1);
    }
}

} // namespace zavok::mqtt
