#include "service/systemd_notify.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zavok::service {
namespace {

// A datagram socket where systemd would listen, bound to `name` (a leading '@' for an abstract one).
class Listener {
public:
    explicit Listener(const QByteArray& name) : socket_(::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        if (name.startsWith('@')) {
            address.sun_path[0] = '\0';
        }
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + std::size_t(name.size()));
        EXPECT_EQ(::bind(socket_, reinterpret_cast<const sockaddr*>(&address), length), 0) << std::strerror(errno);
    }
    ~Listener() { ::close(socket_); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // What was sent, one datagram, or nothing.
    QByteArray heard() const {
        char buffer[256];
        const ssize_t n = ::recv(socket_, buffer, sizeof(buffer), 0);
        return n < 0 ? QByteArray() : QByteArray(buffer, int(n));
    }

private:
    int socket_;
};

TEST(SystemdNotify, SendsEachStateToTheSocketSystemdNamedAndNothingElsewhere) {
    const QByteArray file = QByteArray("/tmp/zavok-notify-") + QByteArray::number(::getpid());
    ::unlink(file.constData());
    const QByteArray abstract = QByteArray("@zavok-notify-") + QByteArray::number(::getpid());
    for (const QByteArray& name : {file, abstract}) {
        const Listener systemd(name);
        qputenv("NOTIFY_SOCKET", name);
        notifySystemd("READY=1");
        notifySystemd("WATCHDOG=1");
        EXPECT_EQ(systemd.heard(), "READY=1") << name.constData();
        EXPECT_EQ(systemd.heard(), "WATCHDOG=1") << name.constData();
        // A relative name, or none, is no socket of systemd's: nothing is sent, and nothing fails.
        for (const char* other : {"zavok-notify", ""}) {
            qputenv("NOTIFY_SOCKET", other);
            notifySystemd("STOPPING=1");
            EXPECT_EQ(systemd.heard(), QByteArray()) << other;
        }
    }
    ::unlink(file.constData());
    qunsetenv("NOTIFY_SOCKET");
}

TEST(SystemdNotify, WatchesOnlyWhereSystemdSetAPeriodForThisProcess) {
    const QByteArray self = QByteArray::number(::getpid());
    const struct {
        const char* usec;
        QByteArray pid; // unset where null
        quint64 period;
    } rows[] = {
        {"200000", {}, 200000}, {"200000", self, 200000},
        {"200000", "1", 0},     {"200000", "", 0},
        {"0", {}, 0},           {"", {}, 0},
        {"2e5", {}, 0},         {"-1", {}, 0},
        {nullptr, {}, 0},
    };
    for (const auto& row : rows) {
        if (row.usec != nullptr) {
            qputenv("WATCHDOG_USEC", row.usec);
        } else {
            qunsetenv("WATCHDOG_USEC");
        }
        if (!row.pid.isNull()) {
            qputenv("WATCHDOG_PID", row.pid);
        } else {
            qunsetenv("WATCHDOG_PID");
        }
        EXPECT_EQ(systemdWatchdogMicroseconds(), row.period)
            << (row.usec ? row.usec : "unset") << " / " << (row.pid.isNull() ? "unset" : row.pid.constData());
    }
    qunsetenv("WATCHDOG_USEC");
    qunsetenv("WATCHDOG_PID");
}

} // namespace
} // namespace zavok::service
