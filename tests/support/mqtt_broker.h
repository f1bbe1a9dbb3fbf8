#pragma once

#include "support/child_process.h"
#include "support/harness.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace zavok::test {

// A throwaway CA and a certificate it signs for "localhost", and a second CA that signs nothing the broker shows,
// made with openssl. made() is false where openssl is not installed.
class Certificates {
public:
    Certificates() {
        const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
        if (openssl.isEmpty()) {
            return;
        }
        const auto run = [&](const QString& arguments) {
            QProcess step;
            step.setStandardOutputFile(QProcess::nullDevice());
            step.setStandardErrorFile(QProcess::nullDevice());
            step.start(openssl, arguments.split(u' '));
            return step.waitForFinished(-1) && step.exitCode() == 0;
        };
        Harness::put(path("server.ext"), "subjectAltName=DNS:localhost\n");
        const QString newKey = QStringLiteral("-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj /CN=");
        made_ = run(QStringLiteral("req -x509 %1zavok-test-ca -days 2 -keyout %2 -out %3")
                        .arg(newKey, path("ca.key"), ca())) &&
                run(QStringLiteral("req -x509 %1zavok-other-ca -days 2 -keyout %2 -out %3")
                        .arg(newKey, path("other.key"), otherCa())) &&
                run(QStringLiteral("req %1localhost -keyout %2 -out %3").arg(newKey, key(), path("server.csr"))) &&
                run(QStringLiteral("x509 -req -in %1 -CA %2 -CAkey %3 -CAcreateserial -days 2 -extfile %4 -out %5")
                        .arg(path("server.csr"), ca(), path("ca.key"), path("server.ext"), certificate()));
    }
    bool made() const { return made_; }

    QString ca() const { return path("ca.pem"); }
    QString otherCa() const { return path("other.pem"); }
    QString certificate() const { return path("server.pem"); }
    QString key() const { return path("server.key"); }

private:
    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }

    QTemporaryDir dir_;
    bool made_ = false;
};

// A mosquitto broker of the test's own on a free loopback port, with a user for the program and one for every other
// client, gone with the test; with `tls`, a TLS listener too, on a port of its own. available() is false, with the
// reason, where mosquitto is not installed.
class Broker {
public:
    static inline const QString kUser = QStringLiteral("zavok");
    static inline const QString kPassword = QStringLiteral("s3cret");
    static inline const QString kOtherUser = QStringLiteral("other");
    static inline const QString kOtherPassword = QStringLiteral("0ther");

    explicit Broker(const Certificates* tls = nullptr) {
        passwd_ = QStandardPaths::findExecutable(QStringLiteral("mosquitto_passwd"));
        if (QStandardPaths::findExecutable(QStringLiteral("mosquitto")).isEmpty() || passwd_.isEmpty()) {
            refusal_ = QStringLiteral("mosquitto is not installed (scripts/deps installs it)");
            return;
        }
        {
            // Both taken at once, so that the kernel cannot hand out one port twice.
            QTcpServer plain;
            QTcpServer secure;
            plain.listen(QHostAddress::LocalHost);
            secure.listen(QHostAddress::LocalHost);
            port_ = plain.serverPort();
            tlsPort_ = tls != nullptr ? secure.serverPort() : 0;
        }
        QProcess::execute(passwd_,
                          {QStringLiteral("-b"), QStringLiteral("-c"), file("passwd"), kOtherUser, kOtherPassword});
        admitProgram(true);
        // Started by root, mosquitto would become another user who cannot read the test's private folder.
        const struct passwd* me = ::getpwuid(::geteuid());
        QString conf =
            QStringLiteral("listener %1 127.0.0.1\nallow_anonymous false\npassword_file %2\npersistence "
                           "false\nset_tcp_nodelay true\nlog_dest file %3\nlog_type all\nuser %4\n")
                .arg(port_)
                .arg(file("passwd"), file("broker.log"), QString::fromLocal8Bit(me != nullptr ? me->pw_name : "root"));
        if (tls != nullptr) {
            // Every address of "localhost", so that a client that takes its first one, IPv4 or IPv6, finds it.
            conf += QStringLiteral("listener %1 localhost\ncafile %2\ncertfile %3\nkeyfile %4\n")
                        .arg(tlsPort_)
                        .arg(tls->ca(), tls->certificate(), tls->key());
        }
        Harness::put(file("mosquitto.conf"), conf.toUtf8());
        start();
    }
    bool available() const { return process_ != nullptr; }
    QString refusal() const { return refusal_; }

    int port() const { return port_; }
    int tlsPort() const { return tlsPort_; }
    QString url() const { return QStringLiteral("mqtt://%1@127.0.0.1:%2").arg(kUser).arg(port_); }
    // Tells of every connection and refusal.
    QString log() const { return QString::fromUtf8(Harness::bytes(file("broker.log"))); }
    void kill() { process_.reset(); }

    enum class Way { Once, Retained, EachLine };
    // As another client of the broker would: the payload as one message, retained or not, at QoS 1, or each of its
    // lines as one message at QoS 0. The broker drops QoS 0 messages for a client that has a thousand waiting, so a
    // flood is thinned out for a slow reader while a message at QoS 1 after it still arrives, after the flood.
    void publish(const QString& topic, const QByteArray& payload, Way way = Way::Once) const {
        QStringList arguments = publisher(topic);
        arguments << (way == Way::EachLine
                          ? QStringList{QStringLiteral("-l"), QStringLiteral("-q"), QStringLiteral("0")}
                          : QStringList{QStringLiteral("-s")});
        if (way == Way::Retained) {
            arguments << QStringLiteral("-r");
        }
        QProcess pub;
        pub.start(QStringLiteral("mosquitto_pub"), arguments);
        pub.write(payload);
        pub.closeWriteChannel();
        EXPECT_TRUE(pub.waitForFinished(-1) && pub.exitCode() == 0) << "mosquitto_pub failed";
    }
    // The content of a file as one message, which the test need not hold in its memory.
    void publishFile(const QString& topic, const QString& path) const {
        EXPECT_EQ(QProcess::execute(QStringLiteral("mosquitto_pub"), publisher(topic) << QStringLiteral("-f") << path),
                  0);
    }

    // On the same port as before; returns once it takes connections. It says so once it has every listener: a port
    // that another process took meanwhile fails here rather than lead the test to someone else's broker.
    void start() {
        const qsizetype runs = log().count(QStringLiteral(" running\n"));
        process_ = std::make_unique<Child>(QStandardPaths::findExecutable(QStringLiteral("mosquitto")),
                                           QStringList{QStringLiteral("-c"), file("mosquitto.conf")}, dir_.path(),
                                           QStringList{});
        EXPECT_TRUE(eventually([&] { return log().count(QStringLiteral(" running\n")) > runs; }))
            << "the broker does not take connections: " << log().toStdString();
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
        return QStringLiteral("-h 127.0.0.1 -p %1 -u %2 -P %3 -q 1 -t")
                   .arg(port_)
                   .arg(kOtherUser, kOtherPassword)
                   .split(u' ')
               << topic;
    }

    QTemporaryDir dir_;
    QString passwd_;
    int port_ = 0;
    int tlsPort_ = 0;
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
        mark_ = QStringLiteral("zavok-test/") + id;
        // Through a shell for the redirection; each line is flushed as it comes.
        process_ = std::make_unique<Child>(
            QStringLiteral("/bin/sh"),
            QStringList{
                QStringLiteral("-c"),
                QStringLiteral("exec stdbuf -oL mosquitto_sub -h 127.0.0.1 -p %1 -u %2 -P %3 -i %4 -q 1 -t '%5' "
                               "-F '%r %t %p' > heard")
                    .arg(broker.port())
                    .arg(Broker::kOtherUser, Broker::kOtherPassword, id,
                         (QStringList(topics) << mark_).join(QStringLiteral("' -t '")))},
            dir_.path(), QStringList{});
        EXPECT_TRUE(eventually([&] { return broker.log().contains(QStringLiteral("SUBSCRIBE from ") + id); }))
            << "the listener does not subscribe";
    }
    QStringList lines() const {
        QByteArray heard = Harness::bytes(dir_.filePath(QStringLiteral("heard")));
        heard.truncate(heard.lastIndexOf('\n') + 1); // a line still being written is not heard yet
        QStringList lines = QString::fromUtf8(heard).split(u'\n', Qt::SkipEmptyParts);
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
    // Whether every message that the broker held for these topics when the listener came has arrived: the broker sends
    // them all as the subscription is taken, before anything published after it, such as this mark.
    bool caughtUp(const Broker& broker) const {
        broker.publish(mark_, "caught up");
        return eventually([&] { return hears(mark_ + QStringLiteral(" caught up")); });
    }

private:
    QTemporaryDir dir_;
    QString mark_; // a topic of this listener's own
    std::unique_ptr<Child> process_;
};

} // namespace zavok::test
