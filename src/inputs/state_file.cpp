#include "state_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavok::inputs {

namespace {

// Five numbers take about 30 bytes. Anything much longer is not a state file, and reading no further keeps a
// wrong path (a log, a device) from costing time at every tick.
constexpr std::size_t kMostBytes = 4096;

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

// Read at every poll tick, by hand: an open, a look at what was opened, the reads and a close, where a QFile also
// asks the flags, the size and the position.
std::variant<InputSnapshot, StateFileFault> readStateFile(const QString& path, const QByteArray& encoded,
                                                          QString& reason) {
    // Non-blocking, so that a FIFO in the file's place cannot make the open wait for a writer.
    int fd = -1;
    do {
        fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        const QFileInfo info(path);
        reason = info.exists() && !info.isFile() ? QStringLiteral("not a regular file")
                                                 : QString::fromLocal8Bit(std::strerror(error));
        return StateFileFault::Unreadable;
    }
    struct stat info = {};
    const bool looked = ::fstat(fd, &info) == 0;
    if (!looked || !S_ISREG(info.st_mode)) {
        reason = looked ? QStringLiteral("not a regular file") : QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return StateFileFault::Unreadable;
    }
    // One byte more than allowed tells a file too long from one just long enough.
    std::array<char, kMostBytes + 1> buffer{};
    std::size_t length = 0;
    while (length < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + length, buffer.size() - length);
        if (got > 0) {
            length += std::size_t(got);
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            reason = QString::fromLocal8Bit(std::strerror(error));
            return StateFileFault::Unreadable;
        }
    }
    ::close(fd);
    if (length > kMostBytes) {
        return StateFileFault::Malformed;
    }
    return parseStateFile(QByteArray::fromRawData(buffer.data(), qsizetype(length)));
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
    , encodedPath_(QFile::encodeName(path_))
    , faults_(std::move(sink))
    , monotonicMs_(std::move(monotonicMs)) {}

void StateFileSource::reread() {
    readAt_ = monotonicMs_();
    QString reason;
    const auto parsed = readStateFile(path_, encodedPath_, reason);
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
