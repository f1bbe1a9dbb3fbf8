#include "activity_log.h"

#include "kit/line_encoding.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zavok {

const QString ActivityLog::kStarted = QStringLiteral("ZAVOK started at");
const QString ActivityLog::kClosed = QStringLiteral("ZAVOK closed at");

ActivityLog::ActivityLog(const kit::ClockTexts& clock, QString directory)
    : clock_(clock)
    , directory_(std::move(directory)) {}

QString ActivityLog::fileName() const {
    return QDir(directory_).filePath(clock_.logday + QStringLiteral(".txt"));
}

bool ActivityLog::append(const QString& message) const {
    const bool written = write(
        kit::line({kit::quotedField(message), kit::quotedField(clock_.nowtime), kit::quotedField(clock_.nowdate)}));
    tellObservers(message);
    return written;
}

bool ActivityLog::write(const QByteArray& record) const {
    // The path changes once a day; working it out again costs more than the rest of a record.
    if (encodedPath_.isEmpty() || pathDay_ != clock_.logday) {
        pathDay_ = clock_.logday;
        encodedPath_ = QFile::encodeName(fileName());
    }
    // Nothing more than one open, one write and one close: the poll tick may write a record ten times a second, and
    // each extra call into the system costs about as much as the write itself. O_NONBLOCK keeps the open from
    // waiting on whatever stands at the path (a FIFO without a reader refuses at once) and the write from waiting
    // on a device or a full pipe; a regular file ignores it. A directory there refuses to open for writing.
    int fd = -1;
    do {
        fd = ::open(encodedPath_.constData(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    ssize_t written = -1;
    do {
        written = ::write(fd, record.constData(), std::size_t(record.size()));
    } while (written < 0 && errno == EINTR);
    const bool whole = written == record.size();
    // A record is either there or not, never half a line: a disk that fills up in the middle of the line keeps
    // only its first part, which the next record would be glued to, so the file is cut back to where it was.
    if (written > 0 && !whole) {
        const off_t end = ::lseek(fd, 0, SEEK_CUR);
        if (end >= written) {
            [[maybe_unused]] const int cut = ::ftruncate(fd, end - written); // nothing better to do if this fails
        }
    }
    const bool closed = ::close(fd) == 0;
    return whole && closed;
}

void ActivityLog::tellObservers(const QString& message) const {
    if (observers_.empty()) {
        return;
    }
    const Record record{kit::storedText(message), kit::storedText(clock_.nowtime), kit::storedText(clock_.nowdate)};
    for (const Observer& observer : observers_) {
        observer(record);
    }
}

} // namespace zavok
