#include "faults/writer_pattern.h"
#include "support/harness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// The real program and a real writer, killed with SIGKILL at random moments: whatever moment the kill hits, each
// settings file is afterwards one whole version, the old one or a new one.
namespace zavok::test {
namespace {

// A program started with fork and exec in `directory`, with `environment` ("NAME=value") over ours.
class Child {
public:
    Child(const QString& program, const QStringList& arguments, const QString& directory,
          const QStringList& environment) {
        std::vector<QByteArray> args{QFile::encodeName(program)};
        for (const QString& a : arguments) {
            args.push_back(a.toLocal8Bit());
        }
        std::vector<QByteArray> env;
        for (const QString& e : environment) {
            env.push_back(e.toLocal8Bit());
        }
        for (char** e = environ; *e != nullptr; ++e) {
            const QByteArray entry(*e);
            const QByteArray name = entry.left(entry.indexOf('=') + 1);
            if (std::none_of(env.begin(), env.end(),
                             [&name](const QByteArray& ours) { return ours.startsWith(name); })) {
                env.push_back(entry);
            }
        }
        std::vector<char*> argv;
        std::vector<char*> envp;
        for (QByteArray& a : args) {
            argv.push_back(a.data());
        }
        for (QByteArray& e : env) {
            envp.push_back(e.data());
        }
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const QByteArray cwd = QFile::encodeName(directory);
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only what is safe between fork and exec.
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

// Polls until `ready` holds. The limit only keeps a broken program from hanging the suite; a sound one is ready in
// a fraction of it.
bool waitFor(const std::function<bool()>& ready) {
    constexpr qint64 kLimitMs = 30000;
    QElapsedTimer waited;
    waited.start();
    while (!ready()) {
        if (waited.elapsed() > kLimitMs) {
            return false;
        }
        QThread::usleep(2000);
    }
    return true;
}

QByteArray logOf(const QString& directory) {
    QByteArray all;
    for (const QString& name : QDir(directory).entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        all += Harness::bytes(QDir(directory).filePath(name));
    }
    return all;
}

void removeLogs(const QString& directory) {
    for (const QString& name : QDir(directory).entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        QFile::remove(QDir(directory).filePath(name));
    }
}

std::mt19937 seeded() {
    const unsigned seed = std::random_device{}();
    std::cout << "random seed " << seed << '\n';
    return std::mt19937(seed);
}

constexpr int kRuns = 50;

TEST(CrashConsistency, ShutdownKilledAtAnyMomentLeavesTheOldOrTheNewPhonesFile) {
    QTemporaryDir root;
    const QString work = root.filePath(QStringLiteral("work"));
    const QString data = root.filePath(QStringLiteral("xdg/zavok"));
    const QString inputs = root.filePath(QStringLiteral("inputs"));
    QDir().mkpath(work);
    QDir().mkpath(data);
    Harness::put(inputs, "224 0 0 0 0\n"); // alert 1 closed, every axis at 0
    const QStringList environment{
        QStringLiteral("QT_QPA_PLATFORM=offscreen"),
        QStringLiteral("LC_ALL=C.UTF-8"),
        QStringLiteral("HOME=") + root.path(),
        QStringLiteral("XDG_DATA_HOME=") + root.filePath(QStringLiteral("xdg")),
        QStringLiteral("XDG_CONFIG_HOME=") + root.path(),
        QStringLiteral("XDG_CACHE_HOME=") + root.path(),
        QStringLiteral("XDG_RUNTIME_DIR=") + root.path(),
    };
    const QStringList arguments{QStringLiteral("--input=file:") + inputs};

    QStringList old = Harness::designPhones();
    old[38] = QStringLiteral("OLD STATE"); // flabel1: start-up replaces it with the channel's name
    const QByteArray oldPhones = Harness::phonesFile(old);
    const QByteArray cat = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n";
    const QByteArray apnames = "\"A\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n";
    auto setUp = [&] {
        Harness::put(QDir(data).filePath(QStringLiteral("phones.zvk")), oldPhones);
        Harness::put(QDir(data).filePath(QStringLiteral("cat.zvk")), cat);
        Harness::put(QDir(data).filePath(QStringLiteral("apnames.zvk")), apnames);
        removeLogs(work);
    };
    auto started = [&work] { return logOf(work).contains("\"ZAVOK started at\""); };

    // An orderly end first: what a shutdown writes, and how long it takes.
    setUp();
    qint64 shutdownNs = 0;
    {
        Child program(QStringLiteral(ZAVOK_PROGRAM), arguments, work, environment);
        ASSERT_TRUE(program.started());
        ASSERT_TRUE(waitFor(started));
        EXPECT_TRUE(waitFor([&work] { return logOf(work).contains("\"Alert #1 activated at\""); }))
            << "the alerts come from the input file";
        QElapsedTimer stopping;
        stopping.start();
        program.signal(SIGTERM);
        ASSERT_EQ(program.wait(), 0);
        shutdownNs = stopping.nsecsElapsed();
    }
    const QByteArray newPhones = Harness::bytes(QDir(data).filePath(QStringLiteral("phones.zvk")));
    EXPECT_EQ(newPhones.count("\r\n"), 46);
    EXPECT_NE(newPhones, oldPhones);
    const QByteArray log = logOf(work);
    EXPECT_TRUE(log.contains("\"ZAVOK closed at\"")) << log.toStdString();

    // Then kills from just after SIGTERM to well past the end of an orderly shutdown.
    std::mt19937 random = seeded();
    std::uniform_int_distribution<qint64> delayUs(0, 2 * shutdownNs / 1000 + 1000);
    int olds = 0;
    int news = 0;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(run);
        setUp();
        Child program(QStringLiteral(ZAVOK_PROGRAM), arguments, work, environment);
        ASSERT_TRUE(waitFor(started));
        program.signal(SIGTERM);
        QThread::usleep(static_cast<unsigned long>(delayUs(random)));
        program.signal(SIGKILL);
        program.wait();
        const QByteArray phones = Harness::bytes(QDir(data).filePath(QStringLiteral("phones.zvk")));
        EXPECT_TRUE(phones == oldPhones || phones == newPhones) << phones.toStdString();
        olds += phones == oldPhones ? 1 : 0;
        news += phones == newPhones ? 1 : 0;
        EXPECT_EQ(Harness::bytes(QDir(data).filePath(QStringLiteral("cat.zvk"))), cat);
        EXPECT_EQ(Harness::bytes(QDir(data).filePath(QStringLiteral("apnames.zvk"))), apnames);
    }
    std::cout << "phones.zvk afterwards: old " << olds << ", new " << news << '\n';
}

TEST(CrashConsistency, CatfileAndLabnameKilledAtAnyMomentLeaveOneWholeWrite) {
    QTemporaryDir root;
    const QString data = root.filePath(QStringLiteral("data"));
    const QString cat = QDir(data).filePath(QStringLiteral("cat.zvk"));
    const QString apnames = QDir(data).filePath(QStringLiteral("apnames.zvk"));
    Harness::put(cat, catFile(0));
    Harness::put(apnames, apnamesFile(0));

    std::mt19937 random = seeded();
    std::uniform_int_distribution<unsigned long> delayUs(0, 20000);
    int writes = 0;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(run);
        QFile::remove(root.filePath(QStringLiteral("ready")));
        const int before = catWrite(Harness::bytes(cat));
        Child writer(QStringLiteral(ZAVOK_SETTINGS_WRITER), {data}, root.path(), {});
        // Killed only once it is writing: after its first new cat.zvk, somewhere in the writes that follow.
        ASSERT_TRUE(waitFor([&] { return catWrite(Harness::bytes(cat)) != before; }));
        QThread::usleep(delayUs(random));
        writer.signal(SIGKILL);
        EXPECT_EQ(writer.wait(), -SIGKILL);
        const int catAt = catWrite(Harness::bytes(cat));
        const int apnamesAt = apnamesWrite(Harness::bytes(apnames));
        EXPECT_GE(catAt, 0) << Harness::bytes(cat).toStdString();
        EXPECT_GE(apnamesAt, 0) << Harness::bytes(apnames).left(200).toStdString();
        writes += catAt;
    }
    std::cout << "whole writes found: " << writes << '\n';
}

} // namespace
} // namespace zavok::test
