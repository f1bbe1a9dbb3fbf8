#include "systemd_notify.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zavok::service {

void notifySystemd(const char* state) {
    const QByteArray path = qgetenv("NOTIFY_SOCKET");
    sockaddr_un address{};
    if (path.isEmpty() || (path[0] != '/' && path[0] != '@') || std::size_t(path.size()) >= sizeof(address.sun_path)) {
        return;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    if (address.sun_path[0] == '@') {
        address.sun_path[0] = '\0';
    }
    const int socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) {
        return;
    }
    ::sendto(socket, state, std::strlen(state), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address),
             socklen_t(offsetof(sockaddr_un, sun_path) + std::size_t(path.size())));
    ::close(socket);
}

quint64 systemdWatchdogMicroseconds() {
    bool ok = false;
    const quint64 usec = qEnvironmentVariable("WATCHDOG_USEC").toULongLong(&ok);
    if (!ok) {
        return 0;
    }
    if (qEnvironmentVariableIsSet("WATCHDOG_PID") && qEnvironmentVariable("WATCHDOG_PID").toLongLong() != ::getpid()) {
        return 0;
    }
    return usec;
}

} // namespace zavok::service
