#include "io_port.h"

#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ZAVOK_HAS_PORT_IO 1
#else
#define ZAVOK_HAS_PORT_IO 0
#endif

namespace zavok::inputs {

namespace {

const QString kAlternatives = QStringLiteral("use --input=joystick for joysticks and game pads, --input=sim for the "
                                             "built-in simulator, or --input=file:PATH for a state file");

// The contacts that a port byte shows closed: a 0 bit at 4 + c.
ContactSet closedContacts(quint8 byte) {
    return ContactSet(~byte >> 4 & 0x0F);
}

quint8 readGamePort() {
#if ZAVOK_HAS_PORT_IO
    return inb(IoPort::kGamePort);
#else
    return 0;
#endif
}

} // namespace

std::variant<std::unique_ptr<IoPort>, QString> IoPort::open(kit::FaultSink sink) {
#if ZAVOK_HAS_PORT_IO
    if (ioperm(kGamePort, 1, 1) != 0) {
        const int error = errno;
        const QString reason = error == EPERM
                                   ? QStringLiteral("permission denied: it needs root or the CAP_SYS_RAWIO capability")
                               : error == ENOSYS ? QStringLiteral("this kernel offers no access to input/output ports")
                                                 : QString::fromLocal8Bit(std::strerror(error));
        return QStringLiteral("zavok: --input=ioport: cannot reach the game port at 0x201 (%1); ").arg(reason) +
               kAlternatives;
    }
    return std::unique_ptr<IoPort>(new IoPort(std::move(sink)));
#else
    Q_UNUSED(sink);
    return QStringLiteral("zavok: --input=ioport: the game port at 0x201 can be reached only on x86 Linux; ") +
           kAlternatives;
#endif
}

void IoPort::sample() {
    latch_.close(closedContacts(readGamePort()));
}

qint16 IoPort::Inzavok(int port) {
    if (port != kGamePort) {
        faults_.once(
            0, QStringLiteral("zavok: port %1 cannot be read, only the game port at 0x201; it reads 0").arg(port));
        return 0;
    }
    const quint8 byte = readGamePort();
    // The low bits are the axis timers of the real port, passed on as they are.
    return qint16(contactBits(latch_.take(closedContacts(byte))) | (byte & 0x0F));
}

void IoPort::Outzavok(int port, int value) {
#if ZAVOK_HAS_PORT_IO
    if (port == kGamePort) {
        outb(quint8(value), kGamePort);
    }
#else
    Q_UNUSED(port);
    Q_UNUSED(value);
#endif
}

} // namespace zavok::inputs
