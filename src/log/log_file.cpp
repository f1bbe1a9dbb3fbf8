#include "log_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zavok {

namespace {

int openForAppending(const QByteArray& path) {
    // O_NONBLOCK keeps the open from waiting on whatever stands at the path (a FIFO without a reader refuses at once)
    // and the write from waiting on a device or a full pipe; a regular file ignores it. A directory there refuses to
    // open for writing.
    int fd = -1;
    do {
        fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

Appended appendLines(const QByteArray& path, QByteArrayView lines) {
    const int fd = openForAppending(path);
    if (fd < 0) {
        return {0, errno};
    }
    qsizetype written = 0;
    int error = 0;
    // A write that takes only part (the disk fills up in the middle) is followed by one for the rest, which either
    // goes on or says why it cannot.
    while (written < lines.size()) {
        const ssize_t n = ::write(fd, lines.data() + written, std::size_t(lines.size() - written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        written += n;
    }
    // The records stay whole: what went in of a line that did not fit is cut off again, so that the next record
    // does not stick to it.
    const qsizetype kept = error == 0 ? written : lines.first(written).lastIndexOf('\n') + 1;
    if (kept < written) {
        const off_t end = ::lseek(fd, 0, SEEK_CUR);
        if (end >= written - kept) {
            [[maybe_unused]] const int cut = ::ftruncate(fd, end - (written - kept)); // nothing better to do on failure
        }
    }
    // A file system that reports a failed write only at the close (NFS) may not hold what it took: those lines are
    // given again, since a record twice is better than a record lost.
    if (::close(fd) != 0 && errno != EINTR) {
        return {0, errno};
    }
    return {kept, error};
}

} // namespace zavok
