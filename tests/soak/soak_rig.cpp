#include "soak_rig.h"

#include <QDir>
#include <QFile>
#include <QTimeZone>

namespace zavok::soak {

namespace {

// Meter 0..100 over raw 10000..60000: 500 raw counts per unit.
constexpr quint32 kRawZero = 10000;
constexpr quint32 kRawFull = 60000;
constexpr quint32 kRawPerUnit = (kRawFull - kRawZero) / 100;

int meterValue(Level level) {
    switch (level) {
    case Level::Normal50:
    case Level::NoInput: // the sensor is back at 50 when ENABLE is pressed
        return 50;
    case Level::Normal60:
        return 60;
    case Level::Low:
        return 10;
    case Level::High:
        return 90;
    case Level::LowCal:
        return -10;
    case Level::HighCal:
        return 110;
    }
    return 50;
}

const std::array<QString, 4> kNames{QStringLiteral("Pressure"), QStringLiteral("Volume"), QStringLiteral("Temperature"),
                                    QStringLiteral("Flow")};

// phones.zvk as the program would have saved it after a run that ended on the last step of a cycle: every channel
// on, at the value that the step before its first step shows, so that the first cycle logs what every later one
// does.
QByteArray phones() {
    QStringList lines;
    // A picture path that loads nothing: an empty one would ring the bell at start-up.
    lines << QStringLiteral("no picture.bmp");
    for (int k = 0; k < 4; ++k) {
        lines << QStringLiteral("0");
    }
    for (int k = 0; k < 4; ++k) {
        lines << QStringLiteral("100");
    }
    for (int k = 0; k < 4; ++k) {
        lines << QStringLiteral("20") << QStringLiteral("80") << QString::number(kRawZero) << QString::number(kRawFull);
    }
    for (const QString& name : kNames) {
        lines << name;
    }
    for (int k = 0; k < 4; ++k) {
        lines << QStringLiteral("ENABLED");
    }
    lines << QStringLiteral("0.1");
    for (int k = 0; k < 4; ++k) {
        lines << QStringLiteral("0.5");
    }
    for (const QString& name : kNames) {
        lines << name;
    }
    for (int k = 1; k <= 4; ++k) {
        lines << QString::number(meterValue(Schedule::level(k, Schedule::kSteps - 1)));
    }
    QByteArray out;
    for (const QString& line : lines) {
        out += '"' + line.toLatin1() + "\"\r\n";
    }
    return out;
}

} // namespace

quint32 Schedule::raw(Level level) {
    if (level == Level::NoInput) {
        return 0;
    }
    return quint32(qint64(kRawZero) + qint64(kRawPerUnit) * meterValue(level));
}

struct Rig::Machine final : kit::GamePort, kit::Joysticks, kit::Clock, kit::Dialogs, kit::Bell, kit::Pictures {
    explicit Machine(const kit::VirtualScheduler& scheduler) : scheduler(scheduler) {}

    qint16 Inzavok(int port) override {
        ++portReads;
        if (port != 513) {
            ++otherPortReads;
        }
        return portValue;
    }
    void Outzavok(int, int) override {}

    int joyGetPos(int id, kit::JOYINFO& info) override {
        if (id < 0 || id > 1) {
            info = {};
            return 1;
        }
        ++joystickReads[std::size_t(id)];
        info = stick[std::size_t(id)];
        return 0;
    }

    QDateTime now() const override { return start.addMSecs(scheduler.now()); }

    void message(const QString&, const QString&) override { ++dialogs; }
    QString input(const QString&, const QString&, const QString& proposal) override {
        ++dialogs;
        return proposal;
    }
    std::optional<QString> openFile(const kit::OpenFileRequest&) override {
        ++dialogs;
        return std::nullopt;
    }

    void beep() override { ++beeps; }

    bool canLoad(const QString&) const override { return false; }

    const kit::VirtualScheduler& scheduler;
    const QDateTime start = midnight();
    qint16 portValue = 240;
    std::array<kit::JOYINFO, 2> stick{};
    qint64 portReads = 0;
    qint64 otherPortReads = 0;
    std::array<qint64, 2> joystickReads{};
    qint64 dialogs = 0;
    qint64 beeps = 0;
};

QDateTime Rig::midnight() {
    return QDateTime(QDate(2001, 7, 13), QTime(0, 0), QTimeZone::utc());
}

Rig::Rig(const QString& root)
    : dataDirectory_(QDir(root).filePath(QStringLiteral("data/zavok")))
    , logDirectory_(QDir(root).filePath(QStringLiteral("work")))
    , machine_(std::make_unique<Machine>(scheduler_)) {}

Rig::~Rig() = default;

QString Rig::dataPath(const QString& file) const {
    return QDir(dataDirectory_).filePath(file);
}

QString Rig::logPath(const QString& logday) const {
    return QDir(logDirectory_).filePath(logday + QStringLiteral(".txt"));
}

qint64 Rig::portReads() const {
    return machine_->portReads;
}

qint64 Rig::otherPortReads() const {
    return machine_->otherPortReads;
}

qint64 Rig::joystickReads(int id) const {
    return machine_->joystickReads.at(std::size_t(id));
}

qint64 Rig::dialogs() const {
    return machine_->dialogs;
}

qint64 Rig::beeps() const {
    return machine_->beeps;
}

void Rig::start() {
    QDir().mkpath(dataDirectory_);
    QDir().mkpath(logDirectory_);
    QFile file(dataPath(QStringLiteral("phones.zvk")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(phones());
    }
    file.close();

    Machine& m = *machine_;
    zavok_ = std::make_unique<Zavok>(Platform{scheduler_, m, QLocale(QLocale::English, QLocale::UnitedStates), m, m, m,
                                              m, m, dataDirectory_, logDirectory_, logDirectory_});
    m.portValue = Schedule::kPort.at(0);
    for (int k = 1; k <= 4; ++k) {
        setSensor(k, Schedule::level(k, 0));
    }
    zavok_->startup();
}

void Rig::setSensor(int channel, Level level) {
    kit::JOYINFO& stick = machine_->stick.at(std::size_t((channel - 1) / 2));
    (channel % 2 == 1 ? stick.wXpos : stick.wYpos) = Schedule::raw(level);
}

void Rig::advanceTo(qint64 ms) {
    scheduler_.advance(ms - scheduler_.now());
}

void Rig::step(qint64 cycle, int s) {
    const qint64 begin = cycle * Schedule::kCycleMs + s * Schedule::kStepMs;
    advanceTo(begin);
    machine_->portValue = Schedule::kPort.at(std::size_t(s));
    for (int k = 1; k <= 4; ++k) {
        setSensor(k, Schedule::level(k, s));
    }

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

void Rig::run(qint64 cycles, const std::function<void(qint64 hour)>& afterHour) {
    const qint64 first = scheduler_.now() / Schedule::kCycleMs;
    for (qint64 cycle = first; cycle < first + cycles; ++cycle) {
        for (int s = 0; s < Schedule::kSteps; ++s) {
            step(cycle, s);
        }
        advanceTo((cycle + 1) * Schedule::kCycleMs);
        if (afterHour && (cycle + 1) % Schedule::kCyclesPerHour == 0) {
            afterHour((cycle + 1) / Schedule::kCyclesPerHour);
        }
    }
}

void Rig::finish() {
    zavok_->shutdown();
}

} // namespace zavok::soak
