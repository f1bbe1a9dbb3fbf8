#pragma once

#include "support/child_process.h"
#include "support/harness.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace zavok::test {

// A mosquitto broker of the test's own on a free loopback port, with a user for the program and one for every other
// client, gone with the test. available() is false, with the reason, where mosquitto is not installed.
class Broker {
public:
    static inline const QString kUser = QStringLiteral("zavok");
    static inline const QString kPassword = QStringLiteral("s3cret");
    static inline const QString kOtherUser = QStringLiteral("other");
    static inline const QString kOtherPassword = QStringLiteral("0ther");

    Broker() {
        passwd_ = QStandardPaths::findExecutable(QStringLiteral("mosquitto_passwd"));
        if (QStandardPaths::findExecutable(QStringLiteral("mosquitto")).isEmpty() || passwd_.isEmpty()) {
            refusal_ = QStringLiteral("mosquitto is not installed (scripts/deps installs it)");
            return;
        }
        port_ = freePort();
        QProcess::execute(passwd_,
                          {QStringLiteral("-b"), QStringLiteral("-c"), file("passwd"), kOtherUser, kOtherPassword});
        admitProgram(true);
        // Started by root, mosquitto would become another user who cannot read the test's private folder.
        const struct passwd* me = ::getpwuid(::geteuid());
        const QString conf =
            QStringLiteral("listener %1 127.0.0.1\nallow_anonymous false\npassword_file %2\npersistence "
                           "false\nset_tcp_nodelay true\nlog_dest file %3\nlog_type all\nuser %4\n")
                .arg(port_)
                .arg(file("passwd"), file("broker.log"), QString::fromLocal8Bit(me != nullptr ? me->pw_name : "root"));
        Harness::put(file("mosquitto.conf"), conf.toUtf8());
        start();
    }
    bool available() const { return process_ != nullptr; }
    QString refusal() const { return refusal_; }

    int port() const { return port_; }
    QString url() const { return QStringLiteral("mqtt://%1@127.0.0.1:%2").arg(kUser).arg(port_); }
    // Tells of every connection and refusal.
    QString log() const { return QString::fromUtf8(Harness::bytes(file("broker.log"))); }
    void kill() { process_.reset(); }

    // As another client of the broker would.
    void publish(const QString& topic, const QByteArray& payload) const {
        QProcess pub;
        pub.start(QStringLiteral("mosquitto_pub"), publisher(topic) << QStringLiteral("-s"));
        pub.write(payload);
        pub.closeWriteChannel();
        EXPECT_TRUE(pub.waitForFinished(-1) && pub.exitCode() == 0) << "mosquitto_pub failed";
    }

    // On the same port as before; returns once it takes connections.
    void start() {
        process_ = std::make_unique<Child>(QStandardPaths::findExecutable(QStringLiteral("mosquitto")),
                                           QStringList{QStringLiteral("-c"), file("mosquitto.conf")}, dir_.path(),
                                           QStringList{});
        EXPECT_TRUE(eventually([this] { return takesConnections(port_); })) << "the broker does not take connections";
    }
    // Lets the program's user log in, or not, from its next attempt on; a running broker reads its users again.
    void admitProgram(bool admit) {
        QProcess::execute(passwd_, admit ? QStringList{QStringLiteral("-b"), file("passwd"), kUser, kPassword}
                                         : QStringList{QStringLiteral("-D"), file("passwd"), kUser});
        if (process_) {
            process_->signal(SIGHUP);
        }
    }

private:
    QString file(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QStringList publisher(const QString& topic) const {
        return QStringLiteral("-h 127.0.0.1 -p %1 -u %2 -P %3 -t")
                   .arg(port_)
                   .arg(kOtherUser, kOtherPassword)
                   .split(u' ')
               << topic;
    }

    // A port that nothing listens on: the kernel's choice for a server opened and closed.
    static int freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }
    static bool takesConnections(int port) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port));
        return probe.waitForConnected(1000);
    }

    QTemporaryDir dir_;
    QString passwd_;
    int port_ = 0;
    QString refusal_;
    std::unique_ptr<Child> process_;
};

// A subscriber (mosquitto_sub) to `topics`, writing "topic payload" for every message it hears, retained ones marked
// "retained".
class Listener {
public:
    explicit Listener(const Broker& broker, const QStringList& topics = {QStringLiteral("#")}) {
        static int count = 0;
        const QString id = QStringLiteral("listener-%1").arg(++count);
        // Through a shell for the redirection; each line is flushed as it comes.
        process_ = std::make_unique<Child>(
            QStringLiteral("/bin/sh"),
            QStringList{
                QStringLiteral("-c"),
                QStringLiteral("exec stdbuf -oL mosquitto_sub -h 127.0.0.1 -p %1 -u %2 -P %3 -i %4 -q 1 -t '%5' "
                               "-F '%r %t %p' > heard")
                    .arg(broker.port())
                    .arg(Broker::kOtherUser, Broker::kOtherPassword, id, topics.join(QStringLiteral("' -t '")))},
            dir_.path(), QStringList{});
        EXPECT_TRUE(eventually([&] { return broker.log().contains(QStringLiteral("SUBSCRIBE from ") + id); }))
            << "the listener does not subscribe";
    }
    QStringList lines() const {
        QStringList lines =
            QString::fromUtf8(Harness::bytes(dir_.filePath(QStringLiteral("heard")))).split(u'\n', Qt::SkipEmptyParts);
        for (QString& line : lines) { // %r is 1 for a retained message, 0 otherwise
            line = line.startsWith(QStringLiteral("1 ")) ? QStringLiteral("retained ") + line.mid(2) : line.mid(2);
        }
        return lines;
    }
    bool hears(const QString& line) const { return lines().contains(line); }
    // A message the broker held from before the subscription comes as retained; one published after it, live. A
    // test that cannot know which came first waits for either.
    bool hearsLiveOrRetained(const QString& line) const {
        return hears(line) || hears(QStringLiteral("retained ") + line);
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<Child> process_;
};

} // namespace zavok::test
