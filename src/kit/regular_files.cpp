#include "regular_files.h"

#include "kit/open_without_waiting.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace zavok::kit {

std::optional<QString> notARegularFile(const QString& path) {
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    if (S_ISFIFO(info.st_mode)) {
        return QStringLiteral("a FIFO");
    }
    if (S_ISDIR(info.st_mode)) {
        return QStringLiteral("a directory");
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return QStringLiteral("a device");
    }
    return QStringLiteral("a socket");
}

namespace {

std::optional<QString> refusedKind(const QString& path) {
    const auto kind = notARegularFile(path);
    return kind ? std::optional(*kind + QStringLiteral(", not a regular file")) : std::nullopt;
}

QString sizeText(qint64 bytes) {
    constexpr qint64 kKiB = 1024;
    if (bytes % (kKiB * kKiB) == 0) {
        return QStringLiteral("%1 MiB").arg(bytes / (kKiB * kKiB));
    }
    return bytes % kKiB == 0 ? QStringLiteral("%1 KiB").arg(bytes / kKiB) : QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace

std::variant<SmallFile, QString> readSmallFile(const QString& path, qint64 most) {
    if (const auto refused = refusedKind(path)) {
        return *refused;
    }
    QFile file;
    if (!kit::openWithoutWaiting(file, path, QIODevice::ReadOnly)) {
        // Something else may have taken the file's place since it was looked at.
        const int error = errno;
        return refusedKind(path).value_or(QString::fromLocal8Bit(std::strerror(error)));
    }
    SmallFile read;
    struct stat info = {};
    if (::fstat(file.handle(), &info) == 0) {
        read.permissions = info.st_mode & 07777;
    }
    // One byte more than allowed tells a file too large from one just large enough, also while it grows.
    read.content = file.read(most + 1);
    if (file.error() != QFileDevice::NoError) {
        return file.errorString();
    }
    if (read.content.size() > most) {
        return QStringLiteral("larger than %1").arg(sizeText(most));
    }
    return read;
}

} // namespace zavok::kit
