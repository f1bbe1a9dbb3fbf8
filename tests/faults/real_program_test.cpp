#include "kit/virtual_scheduler.h"
#include "support/child_process.h"
#include "support/harness.h"
#include "support/mqtt_broker.h"
#include "support/stand_ins.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The real program, started as its desktop entry and its service start it, and killed at random moments.
namespace zavok::test {

using namespace Qt::StringLiterals;

// What the settings writer's n-th write puts into cat.zvk (eight numbers) and apnames.zvk (four names). Each write
// differs from the one before in every line and in length, and starts with a number that names it, so a file torn
// between two writes is no write.
namespace {

enum SettingsFile { Cat, Apnames };

QString circuitName(int write, int circuit) {
    return u"%1 circuit %2 "_s.arg(write).arg(circuit) + QString((write % 7) * 100, u'x');
}

QByteArray written(int write, SettingsFile file) {
    QByteArray out;
    for (int i = 0; i < (file == Cat ? 8 : 4); ++i) {
        out += (file == Cat ? QByteArray::number(write * 8 + i) : '"' + circuitName(write, i + 1).toLatin1() + '"');
        out += "\r\n";
    }
    return out;
}

// The write whose whole content the file at `path` holds, or -1.
int wholeWrite(const QString& path, SettingsFile file) {
    static const QRegularExpression first(u"^\"?(\\d{1,9})\\D"_s);
    const QByteArray content = Harness::bytes(path);
    const auto match = first.match(QString::fromLatin1(content.left(16)));
    const int write = match.hasMatch() ? match.captured(1).toInt() / (file == Cat ? 8 : 1) : -1;
    return write >= 0 && content == written(write, file) ? write : -1;
}

// A home of the program's own under a temporary root, with its data in xdg/zavok, and an input state file.
struct Place {
    explicit Place(const QByteArray& state) {
        QDir().mkpath(work);
        Harness::put(inputs, state);
    }
    QStringList logs(const QString& directory) const {
        return QDir(directory).entryList({u"* [0-9][0-9].txt"_s}, QDir::Files);
    }
    QByteArray log(const QString& directory) const {
        QByteArray all;
        for (const QString& name : logs(directory)) {
            all += Harness::bytes(QDir(directory).filePath(name));
        }
        return all;
    }
    Child start(QStringList arguments) const {
        return Child(QStringLiteral(ZAVOK_PROGRAM), arguments << u"--input=file:"_s + inputs, work, environment);
    }

    QTemporaryDir root;
    QString work = root.filePath(u"work"_s);
    QString data = root.filePath(u"xdg/zavok"_s);
    QString inputs = root.filePath(u"inputs"_s);
    QStringList environment = isolatedEnvironment(root.path());
};

TEST(RealProgram, AsAServiceWithoutAnyDisplayItPublishesAndSaysOfflineAtTheEnd) {
    Broker broker;
    if (!broker.available()) {
        GTEST_SKIP() << broker.refusal().toStdString();
    }
    Place p("224 0 0 0 0\n");
    p.environment.removeIf([](const QString& e) { return e.startsWith(u"QT_QPA_PLATFORM="_s); });
    p.environment << u"QT_QPA_PLATFORM"_s << u"DISPLAY"_s << u"WAYLAND_DISPLAY"_s
                  << u"ZAVOK_MQTT_PASSWORD="_s + Broker::kPassword;
    const Listener listener(broker, {u"zavok/svc/#"_s});
    Child program = p.start({u"--headless"_s, u"--mqtt="_s + broker.url(), u"--site=svc"_s});
    EXPECT_TRUE(eventually([&] { return listener.hears(u"zavok/svc/alert/1 ON"_s); }));
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(), 0);
    EXPECT_TRUE(eventually([&] { return listener.lines().endsWith(u"zavok/svc/status offline"_s); }));
}

// Log-off on a desktop that sends no signal first: the X server ends under the running program, which ends in order
// all the same: one closing record, and phones.zvk written whole from what the run showed.
TEST(RealProgram, TheDisplayEndingUnderTheDesktopProgramEndsItInOrder) {
    QProcess xvfb;
    xvfb.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-screen"_s, u"0"_s, u"800x600x24"_s});
    if (!xvfb.waitForStarted() || !xvfb.waitForReadyRead(10000)) {
        GTEST_SKIP() << "no Xvfb";
    }
    Place p("224 0 0 0 0\n");
    p.environment.removeIf([](const QString& e) { return e.startsWith(u"QT_QPA_PLATFORM="_s); });
    p.environment << u"QT_QPA_PLATFORM"_s
                  << u"DISPLAY=:"_s + QString::fromLatin1(xvfb.readAllStandardOutput().trimmed());
    // Circuit 2 off, and zone 1's text from an earlier run, which start-up replaces by the channel's name.
    Harness::put(QDir(p.data).filePath(u"phones.zvk"_s), Harness::phones({{30, u"DISABLED"_s}, {38, u"OLD"_s}}));
    Child program = p.start({u"--logs-in-data-dir"_s});
    ASSERT_TRUE(eventually([&] { return p.log(p.data).contains("\"Alert #1 activated at\""); }));
    xvfb.terminate();
    EXPECT_NE(program.wait(), -SIGKILL);
    xvfb.waitForFinished();
    EXPECT_EQ(p.log(p.data).count("\"ZAVOK closed at\""), 1);
    EXPECT_EQ(
        Harness::bytes(QDir(p.data).filePath(u"phones.zvk"_s)),
        Harness::phones(
            {{30, u"DISABLED"_s}, {38, u"Pressure"_s}, {39, u"Volume"_s}, {40, u"Temperature"_s}, {41, u"Flow"_s}}));
}

// systemd's side of a notify service with a watchdog: a datagram socket whose path the program finds in
// NOTIFY_SOCKET, and what it has said there.
class NotifySocket {
public:
    explicit NotifySocket(const QString& path) : fd_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        bound_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~NotifySocket() { ::close(fd_); }
    bool bound() const { return bound_; }
    // Every datagram so far, one line each.
    const QStringList& said() {
        char buffer[256];
        for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) > 0;) {
            said_ << QString::fromUtf8(buffer, n).trimmed();
        }
        return said_;
    }

private:
    int fd_;
    bool bound_ = false;
    QStringList said_;
};

TEST(RealProgram, AsANotifyServiceItSaysReadyFeedsTheWatchdogAndSaysStopping) {
    Place p("240 0 0 0 0\n");
    NotifySocket systemd(p.root.filePath(u"notify"_s));
    ASSERT_TRUE(systemd.bound());
    p.environment << u"NOTIFY_SOCKET="_s + p.root.filePath(u"notify"_s) << u"WATCHDOG_USEC=200000"_s;
    Child program = p.start({u"--headless"_s});
    ASSERT_TRUE(eventually([&] { return systemd.said().count(u"WATCHDOG=1"_s) >= 2; }));
    EXPECT_EQ(systemd.said().first(), u"READY=1"_s) << "ready once started, before the first feed";
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(), 0);
    EXPECT_TRUE(systemd.said().contains(u"STOPPING=1"_s));
}

// Under a file-size limit the write that crosses it fails, as on a full disk, rather than ending the program: the
// records wait, and the end is orderly all the same.
TEST(RealProgram, AWriteBeyondTheFileSizeLimitFailsWithoutEndingTheProgram) {
    Place p("240 0 0 0 0\n");
    // Today's log already at the limit of 1024 bytes (ulimit -f counts blocks of 512), so that the start record does
    // not fit.
    const QString log = QDir(p.data).filePath(QLocale::c().toString(QDate::currentDate(), u"MMM dd"_s) + u".txt"_s);
    const QByteArray full = QByteArray("\"" + QByteArray(54, 'x') + "\",\"\",\"\"\r\n").repeated(16);
    Harness::put(log, full);
    Child program(u"/bin/sh"_s,
                  {u"-c"_s, u"ulimit -f 2 && exec \"$0\" \"$@\""_s, QStringLiteral(ZAVOK_PROGRAM), u"--headless"_s,
                   u"--logs-in-data-dir"_s, u"--input=file:"_s + p.inputs},
                  p.work, p.environment);
    // Start-up makes apnames.zvk after its start record.
    ASSERT_TRUE(eventually([&] { return QFile::exists(QDir(p.data).filePath(u"apnames.zvk"_s)); }));
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(), 0);
    EXPECT_EQ(Harness::bytes(log), full);
}

// Kills come at random moments: the seed is told, so that a failing round can be run again.
std::mt19937 seeded() {
    const unsigned seed = std::random_device{}();
    std::cout << "random seed " << seed << '\n';
    return std::mt19937(seed);
}

constexpr int kRuns = 50;

// Started as its desktop entry starts it, the program keeps its logs beside its settings and ends with status 0.
// Killed at any moment of that shutdown, it leaves the files that shutdown does not write untouched.
TEST(CrashConsistency, TheDesktopEntrysProgramKilledAtAnyMomentOfItsEndLeavesTheOldOrTheNewPhonesFile) {
    const Place p("224 0 0 0 0\n"); // alert 1 closed, every axis at 0
    // flabel1 on line 38: start-up replaces it with the channel's name.
    const QMap<QString, QByteArray> before{{u"phones.zvk"_s, Harness::phones({{38, u"OLD STATE"_s}})},
                                           {u"cat.zvk"_s, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"},
                                           {u"apnames.zvk"_s, "\"A\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n"}};
    const auto file = [&p](const QString& name) { return Harness::bytes(QDir(p.data).filePath(name)); };
    const auto start = [&] {
        for (const auto& [name, content] : before.asKeyValueRange()) {
            Harness::put(QDir(p.data).filePath(name), content);
        }
        for (const QString& log : p.logs(p.data)) {
            QFile::remove(QDir(p.data).filePath(log));
        }
        return p.start({u"--logs-in-data-dir"_s});
    };
    const auto logged = [&p](const char* record) {
        return eventually([&p, record] { return p.log(p.data).contains(record); });
    };

    // An orderly end first: what a shutdown writes, and how long it takes.
    qint64 shutdownNs = 0;
    {
        Child program = start();
        ASSERT_TRUE(logged("\"ZAVOK started at\""));
        EXPECT_TRUE(logged("\"Alert #1 activated at\"")) << "the alerts come from the input file";
        QElapsedTimer stopping;
        stopping.start();
        program.signal(SIGTERM);
        ASSERT_EQ(program.wait(), 0);
        shutdownNs = stopping.nsecsElapsed();
    }
    const QByteArray newPhones = file(u"phones.zvk"_s);
    EXPECT_EQ(newPhones.count("\r\n"), 46);
    EXPECT_NE(newPhones, before[u"phones.zvk"_s]);
    EXPECT_TRUE(p.log(p.data).contains("\"ZAVOK closed at\"")) << p.log(p.data).toStdString();
    EXPECT_EQ(p.logs(p.work), QStringList()) << "nothing in the working directory";

    // Then kills from just after SIGTERM to well past the end of an orderly shutdown.
    std::mt19937 random = seeded();
    std::uniform_int_distribution<qint64> delayUs(0, 2 * shutdownNs / 1000 + 1000);
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(run);
        Child program = start();
        ASSERT_TRUE(logged("\"ZAVOK started at\""));
        program.signal(SIGTERM);
        QThread::usleep(static_cast<unsigned long>(delayUs(random)));
        program.signal(SIGKILL);
        program.wait();
        const QByteArray phones = file(u"phones.zvk"_s);
        EXPECT_TRUE(phones == newPhones || phones == before[u"phones.zvk"_s]) << phones.toStdString();
        for (const QString& untouched : {u"cat.zvk"_s, u"apnames.zvk"_s}) {
            EXPECT_EQ(file(untouched), before[untouched]) << untouched.toStdString();
        }
    }
}

// cat.zvk and apnames.zvk are the two files that the user's actions rewrite, through catfile and labname.
TEST(CrashConsistency, CatfileAndLabnameKilledAtAnyMomentLeaveOneWholeWrite) {
    QTemporaryDir root;
    const QString cat = root.filePath(u"cat.zvk"_s);
    const QString apnames = root.filePath(u"apnames.zvk"_s);
    Harness::put(cat, written(0, Cat));
    Harness::put(apnames, written(0, Apnames));

    std::mt19937 random = seeded();
    std::uniform_int_distribution<unsigned long> delayUs(0, 20000);
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(run);
        const int before = wholeWrite(cat, Cat);
        Child writer(QCoreApplication::applicationFilePath(), {u"--settings-writer"_s, root.path()}, root.path(), {});
        // Killed only once it is writing: after its first new cat.zvk, somewhere in the writes that follow.
        ASSERT_TRUE(eventually([&] { return wholeWrite(cat, Cat) != before; }));
        QThread::usleep(delayUs(random));
        writer.signal(SIGKILL);
        EXPECT_EQ(writer.wait(), -SIGKILL);
        EXPECT_GE(wholeWrite(cat, Cat), 0) << Harness::bytes(cat).toStdString();
        EXPECT_GE(wholeWrite(apnames, Apnames), 0) << Harness::bytes(apnames).left(200).toStdString();
    }
}

} // namespace

// Rewrites cat.zvk and apnames.zvk in DATA_DIRECTORY through catfile and labname as fast as it can, each time with
// new content, until it is killed, or for 20 s at most so that it never outlives the test that starts it by long.
int settingsWriter(const QString& dataDirectory) {
    kit::VirtualScheduler scheduler;
    const FixedClock clock;
    NoDialogs dialogs;
    NoBell bell;
    const NoPictures pictures;
    SteadyInputs inputs(0, 0);
    Zavok z({scheduler, clock, QLocale::c(), dialogs, bell, pictures, inputs, inputs, dataDirectory,
             QDir::currentPath(), QDir::currentPath()});
    z.startup();
    QElapsedTimer running;
    running.start();
    for (int write = 1; running.elapsed() < 20000; ++write) {
        for (int k = 0; k < 4; ++k) {
            z.zavok->indicator.at(k)->setLeft(float(write * 8 + 2 * k));
            z.zavok->indicator.at(k)->setTop(float(write * 8 + 2 * k + 1));
            z.zavok->clabel.at(k)->setText(circuitName(write, k + 1));
        }
        z.catfile();
        z.labname();
    }
    return 1;
}

} // namespace zavok::test
