#include "mqtt_commands.h"

#include "app/zavok.h"
#include "forms/circuit_state.h"
#include "kit/numbers.h"

#include <QJsonArray>

namespace zavok::mqtt {

namespace {

const QString kOn = QStringLiteral("ON");
const QString kOff = QStringLiteral("OFF");
const QString kPress = QStringLiteral("PRESS");
const QString kOnOrOff = QStringLiteral("ON and OFF");
// Home Assistant's own bounds of a text entity; the rename box itself takes any length.
constexpr int kLongestName = 255;
// The windows, not Home Assistant, judge an alarm limit: a value out of the meter's range reaches them and is
// refused in their own words.
constexpr double kWidestLimit = 1e9;

QByteArray onOff(bool on) {
    return (on ? kOn : kOff).toLatin1();
}

QJsonObject switchConfig() {
    return {{QStringLiteral("payload_on"), kOn}, {QStringLiteral("payload_off"), kOff}};
}

// ON presses `on`, OFF presses `off`; the button that does not stand for a change takes no click, or is not pressed.
std::function<bool(const QString&)> switchedBy(std::function<void()> on, std::function<void()> off) {
    return [on = std::move(on), off = std::move(off)](const QString& payload) {
        const QString word = payload.trimmed();
        if (word == kOn) {
            on();
        } else if (word == kOff) {
            off();
        } else {
            return false;
        }
        return true;
    };
}

// CHANGE, both entries, SET: the value goes into its own box and the limit in force into the other, so that the
// window checks the pair as it checks a person's. An entry already open at the window is taken over.
void enterLimits(ChannelForm& form, const QString& low, const QString& high) {
    form.changealarm.click();
    form.setnewlowt.typed(low);
    form.setnewhight.typed(high);
    form.setcom.click();
}

Twin limitTwin(ChannelForm& form, bool high) {
    const QString n = QString::number(form.channel());
    const QString side = high ? QStringLiteral("high") : QStringLiteral("low");
    kit::Label& limit = high ? form.sethighl : form.setlowl;
    return {QStringLiteral("channel_%1_%2").arg(n, side),
            QStringLiteral("number"),
            QStringLiteral("channel/%1/%2").arg(n, side),
            [&form, side]() -> QString { return form.fname.text() + u' ' + side + QStringLiteral(" alarm"); },
            {&form.fname},
            {{QStringLiteral("min"), -kWidestLimit},
             {QStringLiteral("max"), kWidestLimit},
             {QStringLiteral("step"), 0.001},
             {QStringLiteral("mode"), QStringLiteral("box")}},
            [&limit] { return kit::numberText(kit::prefixValue(limit.text())).toUtf8(); },
            {&limit},
            [&form, high](const QString& value) {
                enterLimits(form, high ? form.setlowl.text() : value, high ? value : form.sethighl.text());
                return true;
            },
            QStringLiteral("a number"),
            true};
}

// The row of the sampling-time window: its button opens the choice, and the command chooses its entry.
Twin periodTwin(TimerForm& timing, int row, QString object, QString topic, std::function<QString()> name,
                std::vector<const QObject*> renamedBy) {
    kit::ComboBox& choice = *timing.sec.at(row);
    kit::Label& seconds = *timing.secs.at(row);
    return {std::move(object),
            QStringLiteral("select"),
            std::move(topic),
            std::move(name),
            std::move(renamedBy),
            {{QStringLiteral("options"), QJsonArray::fromStringList(choice.items())}},
            [&seconds] { return seconds.text().toUtf8(); },
            {&seconds},
            [&timing, &choice, row](const QString& payload) {
                const qsizetype index = choice.items().indexOf(payload.trimmed());
                if (index < 0) {
                    return false;
                }
                timing.time.at(row)->click();
                choice.chosen(int(index));
                return true;
            },
            QStringLiteral("one of its choices"),
            true};
}

} // namespace

std::vector<Twin> twinsOf(Zavok& core) {
    MainForm& form = *core.zavok;
    TimerForm& timing = *core.zavoktimer;
    const AlertState& alerts = core.alerts->state;
    std::vector<Twin> twins;
    for (int n = 1; n <= 4; ++n) {
        const QString number = QString::number(n);
        kit::Label& circuit = *form.enable.at(n - 1);
        kit::Label& name = *form.clabel.at(n - 1);
        kit::Label& status = *form.alabel.at(n - 1);
        const auto named = [&name](const char* what) {
            return [&name, what]() -> QString { return name.text() + QLatin1String(what); };
        };
        // Switched off, the circuit's alert is unavailable: this switch, under the alert's name, tells why.
        const auto toggle = [&alerts, &circuit, n](bool on) {
            return [&alerts, &circuit, n, on] {
                if (alerts.isCircuitEnabled(n) != on) {
                    circuit.click();
                }
            };
        };
        twins.push_back({QStringLiteral("circuit_") + number,
                         QStringLiteral("switch"),
                         QStringLiteral("circuit/") + number,
                         named(" circuit"),
                         {&name},
                         switchConfig(),
                         [&alerts, n] { return onOff(alerts.isCircuitEnabled(n)); },
                         {&circuit},
                         switchedBy(toggle(true), toggle(false)),
                         kOnOrOff,
                         true});
        twins.push_back({QStringLiteral("circuit_%1_name").arg(n),
                         QStringLiteral("text"),
                         QStringLiteral("circuit/%1/name").arg(n),
                         named(" name"),
                         {&name},
                         {{QStringLiteral("max"), kLongestName}},
                         [&name] { return name.text().toUtf8(); },
                         {&name},
                         [&name](const QString&) {
                             name.click(); // the rename box, answered with the value
                             return true;
                         },
                         QStringLiteral("a name")});
        twins.push_back({QStringLiteral("alert_%1_reminder").arg(n),
                         QStringLiteral("binary_sensor"),
                         QStringLiteral("alert/%1/reminder").arg(n),
                         named(" reminder"),
                         {&name},
                         switchConfig(),
                         [&status] { return onOff(status.back() == circuit::kActive); },
                         {&status},
                         {},
                         {}});

        ChannelForm& channel = core.channel(n);
        const auto channelName = [&channel](const char* what) {
            return [&channel, what]() -> QString { return channel.fname.text() + QLatin1String(what); };
        };
        twins.push_back({QStringLiteral("channel_%1_on").arg(n),
                         QStringLiteral("switch"),
                         QStringLiteral("channel/%1/on").arg(n),
                         channelName(" reading"),
                         {&channel.fname},
                         switchConfig(),
                         [&channel] { return onOff(channel.disable.isEnabled()); },
                         {&channel.disable},
                         switchedBy([&channel] { channel.enable.click(); }, [&channel] { channel.disable.click(); }),
                         kOnOrOff,
                         true});
        twins.push_back(limitTwin(channel, false));
        twins.push_back(limitTwin(channel, true));
        twins.push_back(periodTwin(timing, n, QStringLiteral("channel_%1_period").arg(n),
                                   QStringLiteral("channel/%1/period").arg(n), channelName(" sampling time"),
                                   {&channel.fname}));
    }
    twins.push_back(periodTwin(timing, 0, QStringLiteral("alerts_period"), QStringLiteral("alerts/period"),
                               [] { return QStringLiteral("Alerts sampling time"); }, {}));
    // The bell's two buttons name its present state: BELL OFF shows while it is off, and pressing it turns it on.
    twins.push_back({QStringLiteral("bell"),
                     QStringLiteral("switch"),
                     QStringLiteral("bell"),
                     [] { return QStringLiteral("Bell"); },
                     {},
                     switchConfig(),
                     [&form] { return onOff(form.soundon.isEnabled()); },
                     {&form.soundon},
                     switchedBy([&form] { form.soundoff.click(); }, [&form] { form.soundon.click(); }),
                     kOnOrOff});
    twins.push_back({QStringLiteral("reset"),
                     QStringLiteral("button"),
                     QStringLiteral("reset"),
                     [] { return QStringLiteral("Reset"); },
                     {},
                     {{QStringLiteral("payload_press"), kPress}},
                     {},
                     {},
                     [&form](const QString& payload) {
                         if (payload.trimmed() != kPress) {
                             return false;
                         }
                         form.reset.click();
                         return true;
                     },
                     kPress});
    return twins;
}

void CommandAnswers::message(const QString&, const QString& text) {
    messages_ << text;
}

QString CommandAnswers::input(const QString&, const QString&, const QString&) {
    return value_;
}

std::optional<QString> CommandAnswers::openFile(const kit::OpenFileRequest&) {
    throw kit::Unanswered{};
}

} // namespace zavok::mqtt
