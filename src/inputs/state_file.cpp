#include "state_file.h"

#include "kit/open_without_waiting.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace zavok::inputs {

namespace {

// Five numbers take about 30 bytes. Anything much longer is not a state file, and reading no further keeps a
// wrong path (a log, a device) from costing time at every tick.
constexpr qint64 kMostBytes = 4096;

constexpr qint64 kPortMax = 255;

} // namespace

std::variant<InputSnapshot, StateFileFault> parseStateFile(const QByteArray& content) {
    const QList<QByteArray> fields = content.simplified().split(' ');
    // Qt's number conversion stops at a NUL byte and takes what came before it, so "12<NUL>junk" would read as 12.
    if (fields.size() != 1 + kChannels || content.contains('\0')) {
        return StateFileFault::Malformed;
    }
    std::array<qint64, 1 + kChannels> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        bool ok = false;
        numbers[i] = fields[qsizetype(i)].toLongLong(&ok, 10);
        if (!ok) {
            return StateFileFault::Malformed;
        }
    }
    InputSnapshot snapshot;
    if (numbers[0] < 0 || numbers[0] > kPortMax) {
        return StateFileFault::OutOfRange;
    }
    snapshot.port = quint8(numbers[0]);
    for (std::size_t k = 0; k < snapshot.channels.size(); ++k) {
        const qint64 value = numbers[k + 1];
        if (value < 0 || value > qint64(kAxisMax)) {
            return StateFileFault::OutOfRange;
        }
        snapshot.channels[k] = quint32(value);
    }
    return snapshot;
}

namespace {

std::variant<InputSnapshot, StateFileFault> readStateFile(const QString& path, QString& reason) {
    QFile file;
    if (!kit::openWithoutWaiting(file, path, QIODevice::ReadOnly)) {
        const int error = errno;
        const QFileInfo info(path);
        reason = info.exists() && !info.isFile() ? QStringLiteral("not a regular file")
                                                 : QString::fromLocal8Bit(std::strerror(error));
        return StateFileFault::Unreadable;
    }
    const QByteArray content = file.read(kMostBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return StateFileFault::Unreadable;
    }
    if (content.size() > kMostBytes) {
        return StateFileFault::Malformed;
    }
    return parseStateFile(content);
}

QString faultReason(StateFileFault fault, const QString& path, const QString& reason) {
    switch (fault) {
    case StateFileFault::Unreadable:
        return QStringLiteral("cannot read the input state file %1 (%2)").arg(path, reason);
    case StateFileFault::Malformed:
        return QStringLiteral("the input state file %1 does not hold five whole numbers (the port byte, then "
                              "joystick 1 X, 1 Y, 2 X, 2 Y)")
            .arg(path);
    case StateFileFault::OutOfRange:
        break;
    }
    return QStringLiteral("the input state file %1 holds a number out of range (the port byte 0 to 255, the axes 0 to "
                          "65535)")
        .arg(path);
}

} // namespace

StateFileSource::StateFileSource(QString path, kit::FaultSink sink, std::function<qint64()> monotonicMs)
    : path_(std::move(path))
    , faults_(std::move(sink))
    , monotonicMs_(std::move(monotonicMs)) {}

void StateFileSource::reread() {
    readAt_ = monotonicMs_();
    QString reason;
    const auto parsed = readStateFile(path_, reason);
    fresh_ = std::holds_alternative<InputSnapshot>(parsed);
    if (fresh_) {
        snapshot_ = std::get<InputSnapshot>(parsed);
        lastGoodPort_ = snapshot_.port;
        fault_.clear();
        return;
    }
    snapshot_ = {lastGoodPort_, {}};
    const StateFileFault fault = std::get<StateFileFault>(parsed);
    fault_ = faultReason(fault, path_, reason);
    faults_.once(int(fault), QStringLiteral("zavok: ") + fault_ +
                                 QStringLiteral("; the contacts and the channels keep their last state while this "
                                                "lasts"));
}

qint16 StateFileSource::Inzavok(int) {
    reread();
    return qint16(snapshot_.port);
}

// A file has nothing to write to.
void StateFileSource::Outzavok(int, int) {}

int StateFileSource::joyGetPos(int id, kit::JOYINFO& info) {
    if (!fresh_ || monotonicMs_() - readAt_ >= kSnapshotMs) {
        reread();
    }
    return joystickRecord(id, snapshot_.channels, info);
}

} // namespace zavok::inputs
