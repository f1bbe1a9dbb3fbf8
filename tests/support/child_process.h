#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <csignal>
#include <functional>
#include <sys/prctl.h>

namespace zavok::test {

// A program started in `directory`, with `environment` over ours: "NAME=value" sets a variable, a bare "NAME" takes
// it away. Its output goes where ours does.
class Child {
public:
    Child(const QString& program, const QStringList& arguments, const QString& directory,
          const QStringList& environment) {
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (const QString& e : environment) {
            const qsizetype equals = e.indexOf(u'=');
            if (equals < 0) {
                variables.remove(e);
            } else {
                variables.insert(e.left(equals), e.mid(equals + 1));
            }
        }
        process_.setProcessEnvironment(variables);
        process_.setWorkingDirectory(directory);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        // A test that dies must not leave its children holding the output ctest waits on.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process_.start(program, arguments);
        started_ = process_.waitForStarted();
    }
    ~Child() {
        process_.kill();
        process_.waitForFinished();
    }

    // Never once it is reaped: process id 0 would signal our whole group.
    void signal(int number) const {
        if (const qint64 pid = process_.processId(); pid > 0) {
            ::kill(pid_t(pid), number);
        }
    }
    // The exit status, or minus the signal that ended it; 127, as a shell has it, for a program that never ran.
    int wait() {
        if (!started_) {
            return 127;
        }
        process_.waitForFinished(-1);
        // On Unix, QProcess keeps the signal that ended a crashed child as its exit code; the crash rounds pin it.
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -process_.exitCode();
    }

private:
    QProcess process_;
    bool started_ = false;
};

// The program's home, data, settings and runtime folders all under `root` (data in root/xdg/zavok), drawn
// offscreen.
inline QStringList isolatedEnvironment(const QString& root) {
    return {QStringLiteral("QT_QPA_PLATFORM=offscreen"),
            QStringLiteral("LC_ALL=C.UTF-8"),
            QStringLiteral("HOME=") + root,
            QStringLiteral("XDG_DATA_HOME=") + root + QStringLiteral("/xdg"),
            QStringLiteral("XDG_CONFIG_HOME=") + root,
            QStringLiteral("XDG_CACHE_HOME=") + root,
            QStringLiteral("XDG_RUNTIME_DIR=") + root};
}

// Polls until `holds` does, running Qt's events in between. The limit only keeps a broken program from hanging the
// suite; a sound one is ready in a fraction of it.
inline bool eventually(const std::function<bool()>& holds) {
    const QDeadlineTimer limit(30000);
    while (!holds()) {
        if (limit.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

} // namespace zavok::test
