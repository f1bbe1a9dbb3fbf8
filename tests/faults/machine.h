#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace zavok::test {

// Faults of the machine itself, made with real kernel limits rather than a fake file layer: a tiny tmpfs fills
// up, a read-only bind mount refuses writes even to root, which permissions never do.

// Puts this process into a mount namespace of its own, so that every mount a test makes vanishes with it. Runs
// first thing in main, before any thread exists. False, with the reason, where that is not permitted (a
// developer's machine without root): the tests that need mounts skip.
bool enterPrivateMounts();
bool havePrivateMounts();
QString privateMountsRefusal();

// A mount over `path` (which must exist) for as long as the object lives.
class Mount {
public:
    // A tmpfs of `bytes` bytes; nullptr when it cannot be mounted.
    static std::unique_ptr<Mount> tmpfs(const QString& path, qint64 bytes);
    // `path` bound onto itself and made read-only.
    static std::unique_ptr<Mount> readOnly(const QString& path);
    ~Mount();

    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

private:
    explicit Mount(QByteArray path) : path_(std::move(path)) {}
    QByteArray path_;
};

// Fills the filesystem that holds `directory` with page-sized files until it takes no more, and returns how many
// it wrote. Freeing one of them (removeFiller) gives back exactly one page.
int fillUp(const QString& directory);
bool removeFiller(const QString& directory, int index);

// What the program writes to standard error while the object lives.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far; the capture goes on.
    QByteArray text() const;

private:
    int saved_ = -1;
    int file_ = -1;
};

} // namespace zavok::test
