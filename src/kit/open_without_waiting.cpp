#include "open_without_waiting.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zavok::kit {

bool openWithoutWaiting(QFile& file, const QString& path, QIODevice::OpenMode mode) {
    const QIODevice::OpenMode way = mode & ~QIODevice::OpenMode(QIODevice::Unbuffered);
    const bool append = way == (QIODevice::WriteOnly | QIODevice::Append) || way == QIODevice::Append;
    if (!append && way != QIODevice::ReadOnly) {
        return false; // the program needs no other way in
    }
    // Non-blocking, so that the open itself returns at once whatever stands at the path; it is switched back off
    // below for what is kept, which never waits anyway.
    const int flags = (append ? O_WRONLY | O_CREAT | O_APPEND : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    int fd = -1;
    do {
        fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    struct stat info = {};
    const bool usable = ::fstat(fd, &info) == 0 && (S_ISREG(info.st_mode) || (append && S_ISCHR(info.st_mode)));
    const int status = usable ? ::fcntl(fd, F_GETFL) : -1;
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0 ||
        !file.open(fd,
                   (append ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::ReadOnly) |
                       (mode & QIODevice::Unbuffered),
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace zavok::kit
