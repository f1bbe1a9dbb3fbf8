#pragma once

#include "command_line.h"
#include "fault_report.h"
#include "log/activity_log.h"
#include "mqtt_client.h"

#include <QJsonObject>
#include <QObject>
#include <QSet>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace zavok {
class Zavok;
}

namespace zavok::platform {

// Publishes what ZAVOK shows to an MQTT broker, as Home Assistant and its users expect it: a retained state topic for
// each alert, channel and zone and for the inputs' trouble, every activity-log record, Home Assistant's discovery,
// and, when asked for, RESET and the bell switch as commands. It watches the core and never changes it, but for the
// commands, which press the buttons as the user would; the core does not know it exists.
//
// While the broker cannot be reached the program monitors on as ever: the records made meanwhile wait, in order
// (the newest kBacklog of them), and once the connection is back they are delivered and every state is published
// afresh.
class MqttPublisher final : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kBacklog = 10000;

    // Starts hearing the log and connecting at once, so that no record of the start-up is missed.
    MqttPublisher(const MqttOptions& options, Zavok& core, QString version, FaultSink sink = writeToStandardError);
    // Says "offline" on the status topic, waiting a short while for the broker to have it.
    ~MqttPublisher() override;

    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Once the core has started and all its windows exist: follows every control that a topic reflects.
    void follow();

private:
    // A state topic (below zavok/<site>/) and how to read it from the core; nothing to keep the last state.
    struct State {
        QString topic;
        std::function<std::optional<QByteArray>()> read;
    };
    // Something Home Assistant shows: what it is, what it is called, and what its discovery config adds.
    struct Entity {
        QString object; // the end of its unique id and of its discovery topic
        QString component;
        std::function<QString()> name;
        QJsonObject config;
    };

    void addState(State state, std::initializer_list<const QObject*> watched);
    void addEntity(Entity entity, std::initializer_list<const QObject*> renamedBy);
    void refresh(std::size_t index);
    void announce(const Entity& entity);
    void clearButtons();

    void connected();
    void record(const ActivityLog::Record& record);
    void received(const QString& topic, const QByteArray& payload, bool retained);
    void command(const QString& payload);

    QString topic(const QString& below) const;
    void send(const QString& topic, const QByteArray& payload, bool retain);

    MqttOptions options_;
    Zavok& core_;
    QString version_;
    FaultSink sink_;
    FaultReport problems_;
    MqttClient client_;
    bool connected_ = false;
    std::vector<State> states_;
    std::vector<Entity> entities_;
    std::map<QString, QByteArray> current_;   // every state as the core shows it now
    std::map<QString, QByteArray> published_; // what the broker holds from this connection
    std::deque<QByteArray> backlog_;
    qint64 dropped_ = 0;
    QSet<QString> strangeCommands_;
};

} // namespace zavok::platform
