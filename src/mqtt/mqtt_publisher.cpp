#include "mqtt_publisher.h"

#include "app/zavok.h"
#include "kit/numbers.h"
#include "kit/printable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>

#include <algorithm>
#include <cstdlib>

namespace zavok::mqtt {

namespace {

constexpr std::chrono::milliseconds kLastWordsPatience{500};

const QByteArray kOn = QByteArrayLiteral("ON");
const QByteArray kOff = QByteArrayLiteral("OFF");
const QByteArray kOnline = QByteArrayLiteral("online");
const QByteArray kOffline = QByteArrayLiteral("offline");

const QString kReset = QStringLiteral("RESET");
const QString kBellOff = QStringLiteral("BELL OFF");
const QString kBellOn = QStringLiteral("BELL ON");
const QString kCommandsTaken = QStringLiteral("ZAVOK takes RESET, BELL OFF and BELL ON");
// Beyond this many different strange commands, or this many bytes of them, the next ones are dropped without a word.
constexpr qsizetype kMostStrangeCommandsTold = 100;
constexpr qsizetype kMostStrangeCommandBytes = 8192;

const QString kSupportUrl = QStringLiteral("https://github.com/zavok/zavok");

QString number(int n) {
    return QString::number(n);
}

// The moment in ISO 8601 with its offset from UTC, "2026-12-07T01:05:09+01:00": whoever reads it knows the moment
// without knowing this machine's time zone.
QString isoMoment(const QDateTime& moment) {
    const int offset = moment.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return moment.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QChar(u'0')).arg(minutes % 60, 2, 10, QChar(u'0'));
}

// A record's kind as the log's event entity names it: the history's word for it, in Home Assistant's snake case.
QString eventType(RecordKind kind) {
    return storedName(kind).replace(u' ', u'_');
}

QJsonArray eventTypes() {
    QJsonArray types;
    for (int k = 0; !storedName(RecordKind(k)).isEmpty(); ++k) {
        types.append(eventType(RecordKind(k)));
    }
    return types;
}

// Each word the zone's topic can carry, as an enum sensor lists its options.
QJsonArray zoneWords() {
    QJsonArray options;
    for (const zone::State state : {zone::State::Normal, zone::State::LowAlarm, zone::State::HighAlarm,
                                    zone::State::LowCalError, zone::State::HighCalError}) {
        options.append(zone::words(state));
    }
    return options;
}

// The records of alert or zone `n`.
std::function<bool(const RecordFacts&)> recordsOf(bool zone, int n) {
    return
        [zone, n](const RecordFacts& facts) { return facts.subject == n && (zone ? facts.isZone() : facts.isAlert()); };
}

QByteArray compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A JSON string, quotes and escapes included.
QByteArray jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// The button that, pressed, does what the command says; nothing when the bell already is as asked.
kit::Button* buttonFor(const QString& command, MainForm& form) {
    if (command == kReset) {
        return &form.reset;
    }
    // The bell's two buttons name its present state: BELL OFF shows while it is off, and pressing it turns it on.
    if (command == kBellOn) {
        return &form.soundoff;
    }
    if (command == kBellOff) {
        return &form.soundon;
    }
    return nullptr;
}

} // namespace

MqttPublisher::Paced::Paced(kit::Scheduler& scheduler, const QString& name, int gapMs, std::function<void()> work)
    : gap_(scheduler, name, gapMs, false)
    , work_(std::move(work)) {
    gap_.onTick = [this] {
        if (!asked_) {
            gap_.setEnabled(false);
            return;
        }
        asked_ = false;
        work_();
    };
}

void MqttPublisher::Paced::request() {
    if (gap_.isEnabled()) {
        asked_ = true;
        return;
    }
    gap_.setEnabled(true);
    work_();
}

MqttPublisher::MqttPublisher(const MqttOptions& options, Zavok& core, QString version, kit::FaultSink sink,
                             std::size_t backlog)
    : options_(options)
    , core_(core)
    , version_(std::move(version))
    , sink_(sink)
    , problems_(std::move(sink))
    // Two programs of one site must not take turns throwing each other off the broker: each has an id of its own.
    , client_(options, QStringLiteral("zavok-%1-%2").arg(options.site).arg(QCoreApplication::applicationPid()),
              {QStringLiteral("zavok/%1/status").arg(options.site), kOffline, true},
              [&options] {
                  QStringList topics;
                  if (!options.discoveryPrefix.isEmpty()) {
                      topics << options.birthTopic;
                  }
                  if (options.commands) {
                      topics << QStringLiteral("zavok/%1/command").arg(options.site);
                  }
                  return topics;
              }())
    , announced_(core.settings, sink_)
    , mostWaiting_(std::max<std::size_t>(backlog, 1))
    , births_(core.platform.scheduler, QStringLiteral("mqttBirths"), kGapMs, [this] { announceAll(); })
    , corrections_(core.platform.scheduler, QStringLiteral("mqttCorrections"), kGapMs, [this] { correct(); })
    // The shutdown saves whatever is still waiting.
    , saves_(core.platform.scheduler, QStringLiteral("mqttSaves"), kSaveGapMs, [this] {
        if (!core_.hasEnded()) {
            core_.savePhones();
        }
    }) {
    connect(&client_, &MqttClient::connected, this, &MqttPublisher::connected);
    connect(&client_, &MqttClient::lost, this, [this] { connected_ = false; });
    connect(&client_, &MqttClient::delivered, this, [this](int id) { announced_.delivered(id); });
    connect(&client_, &MqttClient::received, this, &MqttPublisher::received);
    connect(&client_, &MqttClient::problem, this,
            [this](MqttClient::Problem kind, const QString& line) { problems_.once(int(kind), line); });
    // The log keeps its observers for as long as it lives, and its closing record comes after this publisher is gone.
    core_.log.observe([self = QPointer<MqttPublisher>(this)](const ActivityLog::Record& r) {
        if (self != nullptr) {
            self->record(r);
        }
    });
    if (options_.commands) {
        sink_(QStringLiteral("zavok: MQTT commands are on: any client that the broker lets write %1 or %2 can "
                             "press every button of the windows and change every setting; the broker's ACL must let "
                             "only trusted users write them")
                  .arg(topic(QStringLiteral("command")), topic(QStringLiteral("…/set"))));
    }
    client_.start();
}

MqttPublisher::~MqttPublisher() {
    client_.stop(MqttClient::Message{topic(QStringLiteral("status")), kOffline, true}, kLastWordsPatience);
}

QString MqttPublisher::topic(const QString& below) const {
    return QStringLiteral("zavok/") + options_.site + u'/' + below;
}

int MqttPublisher::send(const QString& topic, const QByteArray& payload, bool retain) {
    return client_.publish({topic, payload, retain});
}

QJsonObject MqttPublisher::availableWhile(const QString& below) const {
    // Online while the program is, while the entity's own topic says so, and while the inputs are not in trouble:
    // an alert or a channel on an input in trouble shows its last state, which is no reading.
    return {{QStringLiteral("availability_mode"), QStringLiteral("all")},
            {QStringLiteral("availability"),
             QJsonArray{QJsonObject{{QStringLiteral("topic"), topic(QStringLiteral("status"))}},
                        QJsonObject{{QStringLiteral("topic"), topic(below)}},
                        QJsonObject{{QStringLiteral("topic"), topic(QStringLiteral("trouble"))},
                                    {QStringLiteral("payload_available"), QString::fromLatin1(kOff)},
                                    {QStringLiteral("payload_not_available"), QString::fromLatin1(kOn)}}}}};
}

void MqttPublisher::follow() {
    MainForm& form = *core_.zavok;
    const AlertState& alerts = core_.alerts->state;
    const Zones& zones = core_.meters->zones;
    for (int n = 1; n <= 4; ++n) {
        const std::size_t i = n - 1;
        const kit::Label& circuit = *form.enable.at(i);
        const kit::Label& name = *form.clabel.at(i);
        // Active is what the log reports as activated: the alert's contact active on an enabled circuit.
        addState({QStringLiteral("alert/") + number(n),
                  [&alerts, n] { return alerts.isCircuitEnabled(n) && alerts.isActive(n) ? kOn : kOff; },
                  recordsOf(false, n)},
                 {&circuit});
        // An alert on a disabled circuit is not watched: it is unavailable rather than quiet.
        addState({QStringLiteral("alert/%1/available").arg(n),
                  [&alerts, n] { return alerts.isCircuitEnabled(n) ? kOnline : kOffline; }},
                 {&circuit});
        QJsonObject alertConfig = availableWhile(QStringLiteral("alert/%1/available").arg(n));
        alertConfig.insert(QStringLiteral("state_topic"), topic(QStringLiteral("alert/") + number(n)));
        alertConfig.insert(QStringLiteral("payload_on"), QString::fromLatin1(kOn));
        alertConfig.insert(QStringLiteral("payload_off"), QString::fromLatin1(kOff));
        addEntity({QStringLiteral("alert_") + number(n), QStringLiteral("binary_sensor"),
                   [&name] { return name.text(); }, alertConfig},
                  {&name});

        const ChannelForm& channel = core_.channel(n);
        const Channel& behaviour = (*core_.channels)[n];
        // A channel on a joystick in trouble holds its last value, which is no reading. Its trouble begins and ends
        // with the input's, which the main window's caption shows. A tick that reads what the zone already shows
        // changes no control, but may be the channel's first reading since the start.
        const kit::Joysticks& joysticks = core_.platform.joysticks;
        const auto reading = [&behaviour, &joysticks, id = int(i / 2)]() -> std::optional<double> {
            if (!behaviour.channelSwitch.isOn() || !joysticks.fault(id).isEmpty()) {
                return std::nullopt;
            }
            return behaviour.acquisition.reading();
        };
        const kit::Label& value = *form.value.at(i);
        addState({QStringLiteral("channel/") + number(n),
                  [reading, shown = kit::NumberText()]() mutable -> std::optional<QByteArray> {
                      const std::optional<double> now = reading();
                      if (!now) {
                          return std::nullopt;
                      }
                      return shown.of(*now).toUtf8();
                  }},
                 {&value, &channel.disable, &channel.Timer1, &form});
        addState({QStringLiteral("channel/%1/available").arg(n), [reading] { return reading() ? kOnline : kOffline; }},
                 {&value, &channel.disable, &channel.Timer1, &form});
        addState({QStringLiteral("zone/") + number(n),
                  [&zones, n]() -> std::optional<QByteArray> {
                      const std::optional<zone::State> state = zones.state(n);
                      if (!state) {
                          return std::nullopt;
                      }
                      return zone::words(*state).toUtf8();
                  },
                  recordsOf(true, n)},
                 {});
        // A zone is only as available as the channel it classifies: while the channel is off or blind, its last zone
        // is no reading either.
        const QJsonObject channelAvailability = availableWhile(QStringLiteral("channel/%1/available").arg(n));
        QJsonObject channelConfig = channelAvailability;
        channelConfig.insert(QStringLiteral("state_topic"), topic(QStringLiteral("channel/") + number(n)));
        channelConfig.insert(QStringLiteral("state_class"), QStringLiteral("measurement"));
        if (!options_.units.at(i).isEmpty()) {
            channelConfig.insert(QStringLiteral("unit_of_measurement"), options_.units.at(i));
        }
        if (!options_.deviceClasses.at(i).isEmpty()) {
            channelConfig.insert(QStringLiteral("device_class"), options_.deviceClasses.at(i));
        }
        addEntity({QStringLiteral("channel_") + number(n), QStringLiteral("sensor"),
                   [&channel] { return channel.fname.text(); }, channelConfig},
                  {&channel.fname});
        QJsonObject zoneConfig = channelAvailability;
        zoneConfig.insert(QStringLiteral("state_topic"), topic(QStringLiteral("zone/") + number(n)));
        zoneConfig.insert(QStringLiteral("device_class"), QStringLiteral("enum"));
        zoneConfig.insert(QStringLiteral("options"), zoneWords());
        addEntity({QStringLiteral("zone_") + number(n), QStringLiteral("sensor"),
                   [&channel]() -> QString { return channel.fname.text() + QStringLiteral(" zone"); }, zoneConfig},
                  {&channel.fname});
    }

    const Trouble& trouble = core_.alerts->trouble;
    addState({QStringLiteral("trouble"), [&trouble] { return trouble.isOn() ? kOn : kOff; }}, {&form});
    // The reason follows the fault at every tick, also where one fault gives way to another and the caption stays.
    addState({QStringLiteral("trouble/reason"), [&trouble] { return trouble.reason().toUtf8(); }},
             {&form, &form.Timer1});
    addState({QStringLiteral("trouble/attributes"),
              [&trouble, attributes = kit::TextReading<QByteArray>()]() mutable {
                  return attributes.of(trouble.reason(), [](const QString& reason) {
                      return compact({{QStringLiteral("reason"), reason}});
                  });
              }},
             {&form, &form.Timer1});
    addEntity({QStringLiteral("trouble"), QStringLiteral("binary_sensor"), [] { return QStringLiteral("Input fault"); },
               QJsonObject{{QStringLiteral("state_topic"), topic(QStringLiteral("trouble"))},
                           {QStringLiteral("device_class"), QStringLiteral("problem")},
                           {QStringLiteral("entity_category"), QStringLiteral("diagnostic")},
                           {QStringLiteral("json_attributes_topic"), topic(QStringLiteral("trouble/attributes"))},
                           {QStringLiteral("payload_on"), QString::fromLatin1(kOn)},
                           {QStringLiteral("payload_off"), QString::fromLatin1(kOff)}}},
              {});
    // Every record, as Home Assistant's events: its kind is the event's type, and its words and moment ride along.
    addEntity({QStringLiteral("log"), QStringLiteral("event"), [] { return QStringLiteral("Activity log"); },
               QJsonObject{{QStringLiteral("state_topic"), topic(QStringLiteral("log"))},
                           {QStringLiteral("event_types"), eventTypes()}}},
              {});
    // Known with commands off too, so that what an earlier run announced of them can be taken away.
    twins_ = twinsOf(core_);
    if (options_.commands) {
        for (std::size_t t = 0; t < twins_.size(); ++t) {
            addTwin(t);
        }
    }
    // A connection made during the start-up has announced nothing yet; the states have published themselves.
    if (connected_) {
        announceAll();
    }
    QStringList own{topic(QStringLiteral("status"))};
    for (const State& state : states_) {
        own << topic(state.topic);
    }
    for (const auto& [command, twin] : commandTopics_) {
        own << command;
    }
    client_.subscribe(own);
}

void MqttPublisher::addTwin(std::size_t index) {
    const Twin& twin = twins_.at(index);
    QJsonObject config = twin.config;
    if (twin.read) {
        twinStates_[index] = states_.size();
        addState({twin.topic, [read = twin.read]() -> std::optional<QByteArray> { return read(); }}, twin.watched);
        config.insert(QStringLiteral("state_topic"), topic(twin.topic));
    }
    if (twin.command) {
        const QString commands = topic(twin.topic + QStringLiteral("/set"));
        commandTopics_[commands] = index;
        config.insert(QStringLiteral("command_topic"), commands);
    }
    addEntity({twin.object, twin.component, twin.name, config}, twin.renamedBy);
}

void MqttPublisher::addState(State state, const std::vector<const QObject*>& watched) {
    const std::size_t index = states_.size();
    [[maybe_unused]] const bool fresh = byTopic_.emplace(state.topic, index).second;
    Q_ASSERT(fresh);
    states_.push_back(std::move(state));
    for (const QObject* source : watched) {
        if (const auto* control = qobject_cast<const kit::Control*>(source)) {
            connect(control, &kit::Control::changed, this, [this, index] { refresh(index); });
        } else if (const auto* window = qobject_cast<const kit::Window*>(source)) {
            connect(window, &kit::Window::changed, this, [this, index] { refresh(index); });
        } else if (const auto* timer = qobject_cast<const kit::Timer*>(source)) {
            connect(timer, &kit::Timer::ticked, this, [this, index] { refresh(index); });
        }
    }
    refresh(index);
}

void MqttPublisher::addEntity(Entity entity, const std::vector<const QObject*>& renamedBy) {
    const std::size_t index = entities_.size();
    entities_.push_back(std::move(entity));
    for (const QObject* source : renamedBy) {
        connect(qobject_cast<const kit::Control*>(source), &kit::Control::changed, this,
                [this, index](kit::Property property) {
                    if (property == kit::Property::Text && connected_) {
                        announce(entities_.at(index));
                    }
                });
    }
}

void MqttPublisher::refresh(std::size_t index) {
    State& state = states_.at(index);
    std::optional<QByteArray> payload = state.read();
    if (!payload) {
        return;
    }
    state.current = std::move(payload);
    if (connected_ && state.published != *state.current) {
        state.published = *state.current;
        send(topic(state.topic), state.published, true);
    }
}

QString MqttPublisher::configTopic(const Entity& entity) const {
    return QStringLiteral("%1/%2/zavok_%3/%4/config")
        .arg(options_.discoveryPrefix, entity.component, options_.site, entity.object);
}

void MqttPublisher::announce(const Entity& entity) {
    if (options_.discoveryPrefix.isEmpty()) {
        return;
    }
    const QString id = QStringLiteral("zavok_") + options_.site;
    QJsonObject config = entity.config;
    config.insert(QStringLiteral("name"), entity.name());
    config.insert(QStringLiteral("unique_id"), QString(id + u'_' + entity.object));
    config.insert(QStringLiteral("device"),
                  QJsonObject{{QStringLiteral("identifiers"), QJsonArray{id}},
                              {QStringLiteral("name"), QString(QStringLiteral("ZAVOK ") + options_.site)},
                              {QStringLiteral("manufacturer"), QStringLiteral("ZAVOK")},
                              {QStringLiteral("model"), QStringLiteral("Game-port alarm monitor")},
                              {QStringLiteral("sw_version"), version_}});
    config.insert(QStringLiteral("origin"), QJsonObject{{QStringLiteral("name"), QStringLiteral("ZAVOK")},
                                                        {QStringLiteral("sw_version"), version_},
                                                        {QStringLiteral("support_url"), kSupportUrl}});
    if (!config.contains(QStringLiteral("availability"))) {
        config.insert(QStringLiteral("availability_topic"), topic(QStringLiteral("status")));
    }
    send(configTopic(entity), compact(config), true);
}

void MqttPublisher::announceAll() {
    // Before follow() there is nothing to announce, and nothing of what was announced before is known to be gone.
    if (!connected_ || entities_.empty()) {
        return;
    }
    std::set<QString> now;
    for (const Entity& entity : entities_) {
        announce(entity);
        if (!options_.discoveryPrefix.isEmpty()) {
            now.insert(configTopic(entity));
        }
    }
    announced_.replace(now, [this](const QString& config) { return send(config, {}, true); });
}

// Entities announced by an earlier run with commands on would command nothing now, and the two bell buttons of
// older runs are the bell's switch now: an empty retained config takes them away.
void MqttPublisher::clearButtons() {
    if (options_.discoveryPrefix.isEmpty()) {
        return;
    }
    const auto clear = [this](const QString& component, const QString& object) {
        send(QStringLiteral("%1/%2/zavok_%3/%4/config").arg(options_.discoveryPrefix, component, options_.site, object),
             {}, true);
    };
    for (const char* object : {"bell_off", "bell_on"}) {
        clear(QStringLiteral("button"), QString::fromLatin1(object));
    }
    if (!options_.commands) {
        for (const Twin& twin : twins_) {
            clear(twin.component, twin.object);
        }
    }
}

void MqttPublisher::connected() {
    connected_ = true;
    // Whoever read that the broker was lost or could not be reached learns that the alarms reach it again.
    if (problems_.forget()) {
        sink_(QStringLiteral("zavok: reached the MQTT broker at %1 again").arg(client_.where()));
    }
    send(topic(QStringLiteral("status")), kOnline, true);
    announceAll();
    clearButtons();
    if (dropped_ > 0) {
        sink_((dropped_ == 1 ? QStringLiteral("zavok: 1 activity-log record made while the MQTT broker could not be "
                                              "reached was dropped, the oldest; the last %2 follow")
                             : QStringLiteral("zavok: %1 activity-log records made while the MQTT broker could not be "
                                              "reached were dropped, the oldest first; the last %2 follow")
                                   .arg(dropped_))
                  .arg(mostWaiting_));
        dropped_ = 0;
    }
    while (!backlog_.empty()) {
        send(topic(QStringLiteral("log")), backlog_.front(), false);
        backlog_.pop_front();
    }
    for (const auto& [below, index] : byTopic_) {
        publishAgain(states_.at(index));
    }
}

void MqttPublisher::publishAgain(State& state) {
    if (state.current) {
        state.published = *state.current;
        send(topic(state.topic), state.published, true);
    }
}

void MqttPublisher::record(const ActivityLog::Record& record) {
    // The state first, as a change of the control it shows would have sent it before the record.
    for (std::size_t i = 0; i < states_.size(); ++i) {
        if (states_.at(i).toldBy && states_.at(i).toldBy(record.facts)) {
            refresh(i);
        }
    }
    // Built by hand rather than through QJsonObject, which sorts its keys: the payload keeps the record's own order,
    // message, time, date (then the moment and the kind for machines), which is how a person watching the topic reads
    // it, as the log file's line reads. Each value still goes through QJsonDocument, for its escapes.
    const QByteArray payload = QByteArrayLiteral("{\"message\":") + jsonString(record.message) +
                               QByteArrayLiteral(",\"time\":") + jsonString(record.time) +
                               QByteArrayLiteral(",\"date\":") + jsonString(record.date) +
                               QByteArrayLiteral(",\"at\":") + jsonString(isoMoment(record.moment)) +
                               QByteArrayLiteral(",\"event_type\":") + jsonString(eventType(record.facts.kind)) + '}';
    if (connected_) {
        send(topic(QStringLiteral("log")), payload, false);
        return;
    }
    if (backlog_.size() == mostWaiting_) {
        backlog_.pop_front();
        ++dropped_;
    }
    backlog_.push_back(payload);
}

void MqttPublisher::received(const MqttClient::Message& message, bool whole) {
    if (!options_.discoveryPrefix.isEmpty() && message.topic == options_.birthTopic) {
        // Home Assistant has (re)started and asks every device to announce itself again.
        if (whole && message.payload == kOnline) {
            births_.request();
        }
    } else if (message.topic == topic(QStringLiteral("command"))) {
        command(message, whole);
    } else if (const auto twin = commandTopics_.find(message.topic); twin != commandTopics_.end()) {
        commanded(twin->second, message, whole);
    } else {
        contradicted(message.topic.mid(topic({}).size()), message, whole);
    }
}

void MqttPublisher::command(const MqttClient::Message& message, bool whole) {
    // A retained command would be pressed again at every connection.
    if (message.retain) {
        return;
    }
    if (!whole) {
        if (!std::exchange(toldLongCommand_, true)) {
            sink_(QStringLiteral("zavok: ignored an MQTT command longer than %1 bytes; %2")
                      .arg(MqttClient::kLongestPayload)
                      .arg(kCommandsTaken));
        }
        return;
    }
    const QString payload = QString::fromUtf8(message.payload).trimmed();
    if (kit::Button* button = buttonFor(payload, *core_.zavok)) {
        button->click();
        return;
    }
    if (firstStrange(payload, message.payload.size())) {
        sink_(QStringLiteral("zavok: ignored the MQTT command '%1'; %2").arg(kit::printable(payload), kCommandsTaken));
    }
}

bool MqttPublisher::firstStrange(const QString& key, qsizetype bytes) {
    if (strangeCommands_.contains(key) || strangeCommands_.size() >= kMostStrangeCommandsTold ||
        strangeBytes_ + bytes > kMostStrangeCommandBytes) {
        return false;
    }
    strangeCommands_.insert(key);
    strangeBytes_ += bytes;
    return true;
}

void MqttPublisher::commanded(std::size_t index, const MqttClient::Message& message, bool whole) {
    // A retained command would be carried out again at every connection; after the end nothing is pressed any more.
    if (message.retain || core_.hasEnded()) {
        return;
    }
    const Twin& twin = twins_.at(index);
    if (!whole) {
        if (!std::exchange(toldLongCommand_, true)) {
            sink_(QStringLiteral("zavok: ignored an MQTT command longer than %1 bytes on %2, which takes %3")
                      .arg(MqttClient::kLongestPayload)
                      .arg(message.topic, twin.takes));
        }
        return;
    }
    const QString payload = QString::fromUtf8(message.payload);
    CommandAnswers answers(payload);
    core_.dialogs.answerBy(&answers);
    const bool fits = twin.command(payload);
    core_.dialogs.answerBy(nullptr);
    if (!fits) {
        if (firstStrange(message.topic + u'\0' + payload, message.payload.size())) {
            sink_(QStringLiteral("zavok: ignored the MQTT command '%1' on %2, which takes %3")
                      .arg(kit::printable(payload.trimmed()), message.topic, twin.takes));
        }
    } else if (twin.setting && !core_.hasEnded()) {
        // A service may lose its power at any moment: what the broker set must not wait for the shutdown.
        saves_.request();
    }
    for (const QString& text : answers.messages()) {
        refused(message.topic, text);
    }
    // Home Assistant may show what it asked for until told otherwise: the state in force is said again, changed or
    // not.
    if (const auto state = twinStates_.find(index); state != twinStates_.end() && connected_) {
        publishAgain(states_.at(state->second));
    }
}

// The window's own words for a refused entry go to whoever sent it, and once to the log of the service.
void MqttPublisher::refused(const QString& commandTopic, const QString& text) {
    send(topic(QStringLiteral("error")), text.toUtf8(), false);
    if (firstStrange(u'\1' + text, text.size())) {
        sink_(QStringLiteral("zavok: the MQTT command on %1 was refused: %2").arg(commandTopic, kit::printable(text)));
    }
}

// Another client wrote one of ZAVOK's state topics: a retained message there is what every later subscriber sees,
// and a live one what Home Assistant shows, so either is answered by the state as it is, unless it says just that.
void MqttPublisher::contradicted(const QString& below, const MqttClient::Message& message, bool whole) {
    const std::optional<QByteArray> state = held(below);
    if (!connected_ || (whole && message.payload == state.value_or(QByteArray()))) {
        return;
    }
    contradicted_.insert(below);
    corrections_.request();
}

void MqttPublisher::correct() {
    // Once the connection is back, every state is published afresh anyway.
    if (connected_) {
        for (const QString& below : contradicted_) {
            // A state that has no value yet has no retained message either.
            send(topic(below), held(below).value_or(QByteArray()), true);
        }
    }
    contradicted_.clear();
}

std::optional<QByteArray> MqttPublisher::held(const QString& below) const {
    if (below == QStringLiteral("status")) {
        return kOnline;
    }
    const auto found = byTopic_.find(below);
    return found == byTopic_.end() ? std::nullopt : states_.at(found->second).current;
}

} // namespace zavok::mqtt
