#include "soak_rig.h"

#include <QDir>
#include <QFile>

namespace zavok::soak {

using namespace Qt::StringLiterals;

void Rig::start() {
    // phones.zvk as a run that ended on the last step of a cycle would have saved it: every channel on, at the value
    // of the step before its first, so that the first cycle logs what every later one does. A picture path that
    // loads nothing: an empty one would ring the bell at start-up.
    const QString names = u"Pressure|Volume|Temperature|Flow"_s;
    const QString texts = u"no picture.bmp|0|0|0|0|100|100|100|100|"_s + u"20|80|10000|60000|"_s.repeated(4) + names +
                          u"|ENABLED|ENABLED|ENABLED|ENABLED|0.1|0.5|0.5|0.5|0.5|"_s + names;
    QStringList lines = texts.split(u'|');
    for (int k = 1; k <= 4; ++k) {
        const Level last = Schedule::level(k, Schedule::kSteps - 1);
        lines << QString::number(last == Level::NoInput ? 50 : int(last));
    }
    QDir().mkpath(dataDirectory_);
    QDir().mkpath(logDirectory_);
    QFile file(dataPath(u"phones.zvk"_s));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write('"' + lines.join(u"\"\r\n\""_s).toLatin1() + "\"\r\n");
    }
    file.close();

    Machine& m = machine_;
    zavok_ = std::make_unique<Zavok>(Platform{scheduler_, m, QLocale(QLocale::English, QLocale::UnitedStates), m, m, m,
                                              m, m, dataDirectory_, logDirectory_, logDirectory_});
    setInputs(0);
    zavok_->startup();
}

void Rig::setSensor(int channel, Level level) {
    kit::JOYINFO& stick = machine_.stick.at(std::size_t((channel - 1) / 2));
    (channel % 2 == 1 ? stick.wXpos : stick.wYpos) = Schedule::raw(level);
}

void Rig::setInputs(int step) {
    machine_.portValue = Schedule::kPort.at(std::size_t(step));
    for (int k = 1; k <= 4; ++k) {
        setSensor(k, Schedule::level(k, step));
    }
}

void Rig::run(qint64 cycles, const std::function<void(qint64 hour)>& afterHour) {
    const qint64 first = scheduler_.now() / Schedule::kCycleMs;
    for (qint64 cycle = first; cycle < first + cycles; ++cycle) {
        for (int s = 0; s < Schedule::kSteps; ++s) {
            const qint64 begin = cycle * Schedule::kCycleMs + s * Schedule::kStepMs;
            advanceTo(begin);
            setInputs(s);
            // The first tick of the step finds no input on a silenced channel; the user switches it straight back on.
            advanceTo(begin + 500);
            for (int k = 1; k <= 4; ++k) {
                if (Schedule::level(k, s) == Level::NoInput) {
                    setSensor(k, Level::Normal50);
                    zavok_->channel(k).enable.click();
                }
            }
            advanceTo(begin + Schedule::kStepMs / 2);
            if (s == Schedule::kResetStep) {
                zavok_->zavok->reset.click();
            }
            if (const int circuit = Schedule::kCircuitClick.at(std::size_t(s)); circuit != 0) {
                zavok_->zavok->enable.at(std::size_t(circuit - 1))->click();
            }
        }
        advanceTo((cycle + 1) * Schedule::kCycleMs);
        if (afterHour && (cycle + 1) % Schedule::kCyclesPerHour == 0) {
            afterHour((cycle + 1) / Schedule::kCyclesPerHour);
        }
    }
}

} // namespace zavok::soak
