#pragma once

#include "announced_configs.h"
#include "kit/fault_report.h"
#include "kit/timer.h"
#include "log/activity_log.h"
#include "mqtt_client.h"
#include "mqtt_commands.h"
#include "mqtt_options.h"

#include <QJsonObject>
#include <QObject>
#include <QSet>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace zavok {
class Zavok;
}

namespace zavok::mqtt {

// Publishes what ZAVOK shows to an MQTT broker, as Home Assistant and its users expect it: a retained state topic for
// each alert, channel and zone and for the inputs' trouble, every activity-log record, Home Assistant's discovery,
// and, when asked for, every press and entry of the windows as a command of its own. It watches the core and never
// changes it, but for the commands, which press the buttons as the user would; the core does not know it exists.
//
// While the broker cannot be reached the program monitors on as ever: the records made meanwhile wait, in order
// (the newest kBacklog of them), and once the connection is back they are delivered and every state is published
// afresh.
//
// Anyone whom the broker lets publish can reach it, so what comes from the broker costs little and changes little:
// a long payload is never kept, Home Assistant's births re-announce at most once per kGapMs, and a message of another
// client on one of ZAVOK's state topics is answered by the true state.
class MqttPublisher final : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kBacklog = 10000;
    static constexpr int kGapMs = 5000;
    // What the broker sets is saved at once, and while commands keep coming at most once per kSaveGapMs: each save
    // waits for the disk, and a flood of commands must not hold up the poll cycle behind them.
    static constexpr int kSaveGapMs = 250;

    // Starts hearing the log and connecting at once, so that no record of the start-up is missed. `backlog` (at
    // least 1) bounds the records that wait for the broker.
    MqttPublisher(const MqttOptions& options, Zavok& core, QString version,
                  kit::FaultSink sink = kit::writeToStandardError, std::size_t backlog = kBacklog);
    // Says "offline" on the status topic, waiting a short while for the broker to have it.
    ~MqttPublisher() override;

    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Once the core has started and all its windows exist: follows every control that a topic reflects.
    void follow();

private:
    // A state topic (below zavok/<site>/), how to read it from the core, and what was read and published last.
    // `toldBy` picks the records after which the state is read again: a record is made once the subsystem has
    // taken its new state, while a control's change comes before its handler has run. Ticks read most states ten
    // times a second, so what was read and published is kept here, at hand, rather than looked up by topic.
    struct State {
        QString topic;
        std::function<std::optional<QByteArray>()> read;
        std::function<bool(const RecordFacts&)> toldBy = {};
        std::optional<QByteArray> current = {}; // the state as the core shows it now, once it has one
        QByteArray published = {};              // what was published last (each connection publishes it afresh)
    };
    // Something Home Assistant shows: what it is, what it is called, and what its discovery config adds.
    struct Entity {
        QString object; // the end of its unique id and of its discovery topic
        QString component;
        std::function<QString()> name;
        QJsonObject config;
    };

    // Does its work at once, then at most once per gap: whatever asks for it meanwhile makes one more run at the
    // end of the gap, so that a flood of requests costs a run every few seconds and the last request is still met.
    class Paced {
    public:
        Paced(kit::Scheduler& scheduler, const QString& name, int gapMs, std::function<void()> work);
        void request();

    private:
        kit::Timer gap_;
        std::function<void()> work_;
        bool asked_ = false;
    };

    void addState(State state, const std::vector<const QObject*>& watched);
    void addEntity(Entity entity, const std::vector<const QObject*>& renamedBy);
    void addTwin(std::size_t index);
    void refresh(std::size_t index);
    // Publishes the state as it is, changed or not, once it has a value.
    void publishAgain(State& state);
    QString configTopic(const Entity& entity) const;
    void announce(const Entity& entity);
    void announceAll();
    void clearButtons();

    void connected();
    void record(const ActivityLog::Record& record);
    void received(const MqttClient::Message& message, bool whole);
    void command(const MqttClient::Message& message, bool whole);
    void commanded(std::size_t index, const MqttClient::Message& message, bool whole);
    void refused(const QString& commandTopic, const QString& text);
    // Whether a command ignored for `key` is told: once each, and only so many of them.
    bool firstStrange(const QString& key, qsizetype bytes);
    void contradicted(const QString& below, const MqttClient::Message& message, bool whole);
    void correct();
    std::optional<QByteArray> held(const QString& below) const;

    QString topic(const QString& below) const;
    // The availability of an entity whose own availability stands on the topic `below` this site's.
    QJsonObject availableWhile(const QString& below) const;
    // The id of the message, as delivered() tells it.
    int send(const QString& topic, const QByteArray& payload, bool retain);

    MqttOptions options_;
    Zavok& core_;
    QString version_;
    kit::FaultSink sink_;
    kit::FaultReport problems_;
    MqttClient client_;
    AnnouncedConfigs announced_;
    bool connected_ = false;
    std::vector<State> states_;
    std::vector<Entity> entities_;
    std::map<QString, std::size_t> byTopic_; // each state's topic, and the state
    std::size_t mostWaiting_;
    std::deque<QByteArray> backlog_;
    qint64 dropped_ = 0;
    Paced births_;
    Paced corrections_;
    Paced saves_;
    std::set<QString> contradicted_; // the state topics that another client wrote since the last correction
    std::vector<Twin> twins_;
    std::map<QString, std::size_t> commandTopics_;  // the whole topic of each twin's commands, and the twin
    std::map<std::size_t, std::size_t> twinStates_; // each twin that shows a state, and that state
    QSet<QString> strangeCommands_;
    qsizetype strangeBytes_ = 0;
    bool toldLongCommand_ = false;
};

} // namespace zavok::mqtt
