#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// Faults of the machine itself, made with real kernel limits rather than a fake file layer: a tiny tmpfs fills up, a
// read-only bind mount refuses writes even to root, which permissions never do.
namespace zavok::test {

// Why this process has no mount namespace of its own, or empty once it has one.
inline QString mountsRefused = QStringLiteral("not tried");

// Puts this process into a mount namespace of its own, so that every mount a test makes vanishes with it. Runs first
// thing in main, before any thread exists. Where that is not permitted (a developer's machine without root) the
// tests that need mounts skip.
inline void enterPrivateMounts() {
    // Mount events must not travel back to the machine's namespace through shared subtrees.
    const char* step = ::unshare(CLONE_NEWNS) != 0                                         ? "unshare(CLONE_NEWNS)"
                       : ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ? "making / private"
                                                                                           : nullptr;
    mountsRefused =
        step ? QString::fromLatin1(step) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno))
             : QString();
}

// A mount over `path` (which must exist) for as long as the object lives.
class Mount {
public:
    // A tmpfs of `bytes` bytes; nullptr when it cannot be mounted.
    static std::unique_ptr<Mount> tmpfs(const QString& path, qint64 bytes) {
        std::unique_ptr<Mount> m(new Mount(QFile::encodeName(path)));
        const QByteArray options = "size=" + QByteArray::number(bytes);
        return m->mount("zavok-test", "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) ? std::move(m) : nullptr;
    }
    // `path` bound onto itself and made read-only; the bind goes again when the second step fails.
    static std::unique_ptr<Mount> readOnly(const QString& path) {
        std::unique_ptr<Mount> m(new Mount(QFile::encodeName(path)));
        const bool bound = m->mount(m->path_.constData(), nullptr, MS_BIND, nullptr);
        return bound && m->mount(nullptr, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ? std::move(m) : nullptr;
    }
    ~Mount() {
        if (mounted_) {
            ::umount2(path_.constData(), MNT_DETACH);
        }
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

private:
    explicit Mount(QByteArray path) : path_(std::move(path)) {}
    bool mount(const char* source, const char* type, unsigned long flags, const char* options) {
        const bool done = mountsRefused.isEmpty() && ::mount(source, path_.constData(), type, flags, options) == 0;
        mounted_ = mounted_ || done;
        return done;
    }
    QByteArray path_;
    bool mounted_ = false;
};

// Fills the filesystem that holds `directory` with page-sized files until it takes no more, and returns how many it
// wrote. Freeing one of them (removeFiller) gives back exactly one page.
inline QString filler(const QString& directory, int index) {
    return QDir(directory).filePath(QStringLiteral("filler%1").arg(index));
}
inline int fillUp(const QString& directory) {
    const QByteArray page(4096, 'f');
    for (int n = 0;; ++n) {
        QFile file(filler(directory, n));
        // Unbuffered, so that the write that does not fit fails here and not in a later flush.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(page) != page.size()) {
            file.close();
            file.remove();
            return n;
        }
    }
}
inline bool removeFiller(const QString& directory, int index) {
    return QFile::remove(filler(directory, index));
}

// What the program writes to standard error while the object lives.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        file_.open();
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far; the capture goes on.
    QByteArray text() const {
        std::fflush(stderr);
        QFile file(file_.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    int saved_ = ::dup(STDERR_FILENO);
    QTemporaryFile file_;
};

} // namespace zavok::test
