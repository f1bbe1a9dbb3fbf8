#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zavok::test {

// A program started with fork and exec in `directory`, with `environment` over ours: "NAME=value" sets a variable,
// a bare "NAME" takes it away.
class Child {
public:
    Child(const QString& program, const QStringList& arguments, const QString& directory,
          const QStringList& environment) {
        std::vector<QByteArray> args{QFile::encodeName(program)};
        std::vector<QByteArray> env;
        std::vector<QByteArray> ours;
        for (const QString& a : arguments) {
            args.push_back(a.toLocal8Bit());
        }
        for (const QString& e : environment) {
            const QByteArray entry = e.toLocal8Bit();
            ours.push_back(entry.left(entry.indexOf('=')) + '=');
            if (entry.contains('=')) {
                env.push_back(entry);
            }
        }
        for (char** e = environ; *e != nullptr; ++e) {
            const QByteArray entry(*e);
            if (std::none_of(ours.begin(), ours.end(), [&entry](const QByteArray& n) { return entry.startsWith(n); })) {
                env.push_back(entry);
            }
        }
        const auto pointers = [](std::vector<QByteArray>& texts) {
            std::vector<char*> out;
            std::transform(texts.begin(), texts.end(), std::back_inserter(out), [](QByteArray& t) { return t.data(); });
            out.push_back(nullptr);
            return out;
        };
        std::vector<char*> argv = pointers(args);
        std::vector<char*> envp = pointers(env);
        const QByteArray cwd = QFile::encodeName(directory);
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only what is safe between fork and exec. A test that dies must not leave its children holding the
            // output ctest waits on.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::chdir(cwd.constData()) == 0) {
                ::execve(argv[0], argv.data(), envp.data());
            }
            ::_exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0; }
    void signal(int number) const { ::kill(pid_, number); }
    // The exit status, or minus the signal that ended it.
    int wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
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

// Polls until `ready` holds, running Qt's events in between where `events` asks for it. The limit only keeps a
// broken program from hanging the suite; a sound one is ready in a fraction of it.
inline bool waitFor(const std::function<bool()>& ready, bool events = false) {
    QElapsedTimer waited;
    waited.start();
    while (!ready()) {
        if (waited.elapsed() > 30000) {
            return false;
        }
        if (events) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QThread::msleep(2);
    }
    return true;
}

// Runs Qt's events until `holds`, or until a limit that only a broken program reaches.
inline bool eventually(const std::function<bool()>& holds) {
    return waitFor(holds, true);
}

} // namespace zavok::test
