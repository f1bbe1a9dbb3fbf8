#pragma once

#include "app/zavok.h"
#include "kit/virtual_scheduler.h"

#include <QDateTime>
#include <QDir>

#include <array>
#include <functional>
#include <memory>

namespace zavok::soak {

// What one channel's sensor reports during a step, as the meter reads it. With the calibration the rig saves (raw
// 10000 at the meter's 0, raw 60000 at its 100) and alarm limits 20 and 80, each level lands in one zone state.
enum class Level {
    Normal50 = 50, // the channel's name
    Normal60 = 60, // still the name, so the change of value alone logs nothing
    Low = 10,
    High = 90,
    LowCal = -10,
    HighCal = 110,
    NoInput = 0, // a burst of zeros; the user presses ENABLE straight after, with the sensor back at 50
};

// The deterministic day the soak and its benchmark run: one 60-second cycle of twelve 5-second steps, repeated.
// Each step sets the port and the four sensors at its start; a channel whose sensor fell silent is switched back on
// 500 ms in (right after the tick that found no input); the user's clicks come halfway through the step, when every
// tick has seen the step's inputs.
struct Schedule {
    static constexpr qint64 kStepMs = 5000;
    static constexpr int kSteps = 12;
    static constexpr qint64 kCycleMs = kStepMs * kSteps;
    static constexpr qint64 kCyclesPerHour = 3600 * 1000 / kCycleMs;

    // Bits 4..7 are alerts 1..4, a 0 bit is an active alert, and 0 keeps the bits.
    static constexpr std::array<qint16, kSteps> kPort{240, 224, 240, 208, 0, 5, 240, 240, 176, 240, 112, 240};

    // One sensor's script; channel k runs it shifted by kShift[k - 1] steps.
    static constexpr std::array<Level, kSteps> kZone{Level::Normal50, Level::Normal60, Level::Low,     Level::Normal50,
                                                     Level::High,     Level::Low,      Level::LowCal,  Level::HighCal,
                                                     Level::High,     Level::Normal50, Level::NoInput, Level::Normal60};
    static constexpr std::array<int, 4> kShift{0, 1, 2, 4};

    // Halfway through these steps: RESET, and the circuit switch clicked (circuit n, or 0 for none).
    static constexpr int kResetStep = 4;
    static constexpr std::array<int, kSteps> kCircuitClick{0, 0, 0, 0, 0, 0, 0, 3, 3, 4, 0, 4};

    static Level level(int channel, int step) {
        return kZone.at(std::size_t((step + kShift.at(std::size_t(channel - 1))) % kSteps));
    }
    // 500 counts a unit of the meter.
    static quint32 raw(Level level) { return level == Level::NoInput ? 0 : quint32(10000 + 500 * int(level)); }
};

// The machine around the program: inputs that follow the schedule, a clock on virtual time from midnight, and boxes
// and a bell that only count what is asked of them, so that the rig itself holds no growing state.
struct Machine final : kit::GamePort, kit::Joysticks, kit::Clock, kit::Dialogs, kit::Bell, kit::Pictures {
    explicit Machine(const kit::VirtualScheduler& scheduler) : scheduler(scheduler) {}

    qint16 Inzavok(int port) override {
        ++portReads;
        otherPortReads += port != 0x201 ? 1 : 0;
        return portValue;
    }
    void Outzavok(int, int) override {}
    // The program has two joysticks: asking for another one throws, and fails the run.
    int joyGetPos(int id, kit::JOYINFO& info) override {
        info = stick.at(std::size_t(id));
        ++joystickReads.at(std::size_t(id));
        return 0;
    }
    // As the machine's clock gives them, the readings within one millisecond are one moment, made once.
    QDateTime now() const override {
        if (const qint64 ms = scheduler.now(); ms != readAt) {
            readAt = ms;
            moment = midnight.addMSecs(ms);
        }
        return moment;
    }
    void message(const QString&, const QString&) override { ++told; }
    QString input(const QString&, const QString&, const QString& proposal) override {
        ++told;
        return proposal;
    }
    std::optional<QString> openFile(const kit::OpenFileRequest&) override {
        ++told;
        return std::nullopt;
    }
    void beep() override { ++told; }
    bool canLoad(const QString&) const override { return false; }

    const kit::VirtualScheduler& scheduler;
    // In UTC, so that no daylight-saving change shortens or lengthens the day; as Qt::UTC rather than the UTC time
    // zone, as the machine's clock gives it where the offset is 0, so that every reading is not a copy of a zone.
    const QDateTime midnight{QDate(2001, 7, 13), QTime(0, 0), Qt::UTC};
    mutable qint64 readAt = -1;
    mutable QDateTime moment;
    qint16 portValue = 240;
    std::array<kit::JOYINFO, 2> stick{};
    qint64 portReads = 0;
    qint64 otherPortReads = 0;
    std::array<qint64, 2> joystickReads{};
    qint64 told = 0; // boxes shown and beeps rung
};

// The whole program on virtual time, started at midnight with its data and working directories below `root`.
class Rig {
public:
    explicit Rig(const QString& root)
        : dataDirectory_(QDir(root).filePath(QStringLiteral("data/zavok")))
        , logDirectory_(QDir(root).filePath(QStringLiteral("work"))) {}

    // Saves the settings the schedule relies on, then builds the program and runs its start-up.
    void start();
    // `afterHour(h)` runs at the end of each whole hour h (1, 2, ...).
    void run(qint64 cycles, const std::function<void(qint64 hour)>& afterHour = {});
    void finish() { zavok_->shutdown(); }

    Zavok& zavok() const { return *zavok_; }
    QString dataPath(const QString& file) const { return QDir(dataDirectory_).filePath(file); }
    QString logPath(const QString& day) const { return QDir(logDirectory_).filePath(day + QStringLiteral(".txt")); }
    const Machine& machine() const { return machine_; }

private:
    void advanceTo(qint64 ms) { scheduler_.advance(ms - scheduler_.now()); }
    void setSensor(int channel, Level level);
    void setInputs(int step);

    QString dataDirectory_;
    QString logDirectory_;
    kit::VirtualScheduler scheduler_;
    Machine machine_{scheduler_};
    std::unique_ptr<Zavok> zavok_;
};

} // namespace zavok::soak
