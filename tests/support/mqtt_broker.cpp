#include "mqtt_broker.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>

namespace zavok::test {

namespace {

constexpr qint64 kLimitMs = 30000;

// A loopback address on `port`; port 0 lets the kernel choose.
sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port that nothing listens on: the kernel's choice for a socket bound and let go.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool takesConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool taken = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return taken;
}

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

const QString Broker::kUser = QStringLiteral("zavok");
const QString Broker::kPassword = QStringLiteral("s3cret");

bool eventually(const std::function<bool()>& holds) {
    QElapsedTimer waited;
    waited.start();
    while (!holds()) {
        if (waited.elapsed() > kLimitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    return true;
}

Broker::Broker() {
    const QString passwd = QStandardPaths::findExecutable(QStringLiteral("mosquitto_passwd"));
    if (QStandardPaths::findExecutable(QStringLiteral("mosquitto")).isEmpty() || passwd.isEmpty()) {
        refusal_ = QStringLiteral("mosquitto is not installed (scripts/deps installs it)");
        return;
    }
    port_ = freePort();
    QProcess::execute(passwd, {QStringLiteral("-b"), QStringLiteral("-c"), dir_.filePath(QStringLiteral("passwd")),
                               kUser, kPassword});
    QFile config(dir_.filePath(QStringLiteral("mosquitto.conf")));
    EXPECT_TRUE(config.open(QIODevice::WriteOnly));
    // Started by root, mosquitto would become another user who cannot read the test's private folder.
    const struct passwd* me = ::getpwuid(::geteuid());
    config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous false\npassword_file %2\npersistence false\n"
                                "set_tcp_nodelay true\nlog_dest file %3\nlog_type all\nuser %4\n")
                     .arg(port_)
                     .arg(dir_.filePath(QStringLiteral("passwd")), dir_.filePath(QStringLiteral("broker.log")),
                          QString::fromLocal8Bit(me != nullptr ? me->pw_name : "root"))
                     .toUtf8());
    config.close();
    start();
}

QString Broker::url() const {
    return QStringLiteral("mqtt://%1@127.0.0.1:%2").arg(kUser).arg(port_);
}

QString Broker::log() const {
    return readAll(dir_.filePath(QStringLiteral("broker.log")));
}

void Broker::kill() {
    process_.reset();
}

void Broker::start() {
    process_ = std::make_unique<Child>(
        QStandardPaths::findExecutable(QStringLiteral("mosquitto")),
        QStringList{QStringLiteral("-c"), dir_.filePath(QStringLiteral("mosquitto.conf"))}, dir_.path(), QStringList{});
    EXPECT_TRUE(eventually([this] { return takesConnections(port_); })) << "the broker does not take connections";
}

Listener::Listener(const Broker& broker, const QString& topics) {
    static int count = 0;
    const QString id = QStringLiteral("listener-%1").arg(++count);
    // Through a shell for the redirection; each line is flushed as it comes.
    process_ = std::make_unique<Child>(
        QStringLiteral("/bin/sh"),
        QStringList{QStringLiteral("-c"),
                    QStringLiteral("exec stdbuf -oL mosquitto_sub -h 127.0.0.1 -p %1 -u %2 -P %3 -i %4 -q 1 -t '%5' "
                                   "-F '%r %t %p' > heard")
                        .arg(broker.port())
                        .arg(Broker::kUser, Broker::kPassword, id, topics)},
        dir_.path(), QStringList{});
    EXPECT_TRUE(eventually([&broker, &id] { return broker.log().contains(QStringLiteral("SUBSCRIBE from ") + id); }))
        << "the listener does not subscribe";
}

QStringList Listener::lines() const {
    QStringList lines = readAll(dir_.filePath(QStringLiteral("heard"))).split(u'\n', Qt::SkipEmptyParts);
    // mosquitto_sub's %r is 1 for a retained message, 0 otherwise.
    for (QString& line : lines) {
        line = line.startsWith(QStringLiteral("1 ")) ? QStringLiteral("retained ") + line.mid(2) : line.mid(2);
    }
    return lines;
}

} // namespace zavok::test
