#include "support/child_process.h"
#include "faults/writer_pattern.h"
#include "support/harness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <random>

// The real program and a real writer, killed with SIGKILL at random moments: whatever moment the kill hits, each
// settings file is afterwards one whole version, the old one or a new one.
namespace zavok::test {
namespace {

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
    const QStringList environment = isolatedEnvironment(root.path());
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
