#include "machine.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace zavok::test {

namespace {

QString refusal = QStringLiteral("not tried");
bool entered = false;

QString lastError(const char* what) {
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool enterPrivateMounts() {
    if (::unshare(CLONE_NEWNS) != 0) {
        refusal = lastError("unshare(CLONE_NEWNS)");
        return false;
    }
    // Mount events must not travel back to the machine's namespace through shared subtrees.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        refusal = lastError("making / private");
        return false;
    }
    entered = true;
    return true;
}

bool havePrivateMounts() {
    return entered;
}

QString privateMountsRefusal() {
    return refusal;
}

std::unique_ptr<Mount> Mount::tmpfs(const QString& path, qint64 bytes) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray options = "size=" + QByteArray::number(bytes);
    if (!entered ||
        ::mount("zavok-test", target.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0) {
        return nullptr;
    }
    return std::unique_ptr<Mount>(new Mount(target));
}

std::unique_ptr<Mount> Mount::readOnly(const QString& path) {
    const QByteArray target = QFile::encodeName(path);
    if (!entered || ::mount(target.constData(), target.constData(), nullptr, MS_BIND, nullptr) != 0) {
        return nullptr;
    }
    auto mount = std::unique_ptr<Mount>(new Mount(target));
    if (::mount(nullptr, target.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        return nullptr; // the destructor takes the bind mount away again
    }
    return mount;
}

Mount::~Mount() {
    ::umount2(path_.constData(), MNT_DETACH);
}

int fillUp(const QString& directory) {
    const QByteArray page(4096, 'f');
    for (int n = 0;; ++n) {
        QFile filler(QDir(directory).filePath(QStringLiteral("filler%1").arg(n)));
        // Unbuffered, so that the write that does not fit fails here and not in a later flush.
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || filler.write(page) != page.size()) {
            filler.close();
            filler.remove();
            return n;
        }
    }
}

bool removeFiller(const QString& directory, int index) {
    return QFile::remove(QDir(directory).filePath(QStringLiteral("filler%1").arg(index)));
}

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    char name[] = "/tmp/zavok-stderr-XXXXXX";
    file_ = ::mkstemp(name);
    ::unlink(name);
    saved_ = ::dup(STDERR_FILENO);
    ::dup2(file_, STDERR_FILENO);
}

StderrCapture::~StderrCapture() {
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    ::close(file_);
}

QByteArray StderrCapture::text() const {
    std::fflush(stderr);
    QByteArray out;
    char buffer[4096];
    off_t at = 0;
    ssize_t n = 0;
    while ((n = ::pread(file_, buffer, sizeof buffer, at)) > 0) {
        out.append(buffer, n);
        at += n;
    }
    return out;
}

} // namespace zavok::test
