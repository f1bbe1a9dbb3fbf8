#pragma once

#include "input_records.h"
#include "kit/fault_report.h"
#include "kit/inputs.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <variant>

namespace zavok::inputs {

// What a state file says: the port byte, then joystick 1 X, joystick 1 Y, joystick 2 X, joystick 2 Y.
struct InputSnapshot {
    quint8 port = 0;
    std::array<quint32, kChannels> channels{};

    friend bool operator==(const InputSnapshot&, const InputSnapshot&) = default;
};

enum class StateFileFault {
    Unreadable, // missing, not a file, no permission
    Malformed,  // not exactly five whole numbers: empty, cut short, garbage, too long
    OutOfRange, // a port byte outside 0..255 or an axis outside 0..65535
};

// Five whole numbers separated by any whitespace (blanks, tabs, line ends, in any amount).
std::variant<InputSnapshot, StateFileFault> parseStateFile(const QByteArray& content);

// Reads the inputs from a file that another program or a test script rewrites, so that ZAVOK can be driven
// without hardware. While the file cannot be used the source is faulty: the port keeps its last good byte (every
// contact at rest before the first one), so that no alert changes for it, and the axes read 0 with a fault, so that
// the channels hold what they showed until the file is back.
//
// Each port read re-reads the file: it happens once per poll tick. A channel tick reads its joystick 101 times
// in a row; those reads share one reading of the file, so that all its samples come from the same content even
// when a writer is halfway through replacing it. A reading serves them for kSnapshotMs, shorter than the
// shortest sampling period, so every tick still sees what was written before it; a faulty reading is never
// kept, so a file caught empty in the middle of a rewrite is tried again at the next read.
class StateFileSource final : public kit::GamePort, public kit::Joysticks {
public:
    static constexpr qint64 kSnapshotMs = 50;

    // `monotonicMs` tells the time that decides when a reading is stale; tests drive it by hand.
    StateFileSource(QString path, kit::FaultSink sink, std::function<qint64()> monotonicMs);

    qint16 Inzavok(int port) override;
    void Outzavok(int port, int value) override;
    QString fault() const override { return fault_; }
    QString fault(int) const override { return fault_; }
    int joyGetPos(int id, kit::JOYINFO& info) override;

private:
    void reread();

    QString path_;
    QByteArray encodedPath_;
    kit::FaultReport faults_;
    std::function<qint64()> monotonicMs_;
    InputSnapshot snapshot_;
    bool fresh_ = false; // whether `snapshot_` is a good reading
    QString fault_;      // why it is not
    quint8 lastGoodPort_ = kAtRest;
    qint64 readAt_ = 0;
};

} // namespace zavok::inputs
